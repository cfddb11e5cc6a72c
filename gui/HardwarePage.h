#pragma once
#include <QStringList>
#include <QVector>

class QLabel;
class QWidget;
struct HardwareInventory;

// One value line of a list row on the hardware page; rows without sizes have no size label.
struct HardwareSlot
{
    QLabel *name = nullptr;
    QLabel *size = nullptr;
};

// Hides all of the row's slots, then shows one per entry in order; the last slot takes
// every entry from its position on, so the last entry wins it. With `hasSize` an entry is
// "name,size" (split at every comma, empty parts kept; no comma: empty size).
void fillHardwareRow(const QVector<HardwareSlot> &rowSlots, const QStringList &entries,
                     bool hasSize);

// Fills the hardware page's labels, found below `page` by their object names
// (label_29, label_30, the list rows' slots and label_43).
void fillHardwarePage(QWidget *page, const HardwareInventory &inventory);
