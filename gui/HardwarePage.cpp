#include "gui/HardwarePage.h"

#include "inventory/HardwareInventory.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>

namespace {
void setShown(QLabel *label, bool shown)
{
    if (label)
        label->setVisible(shown);
}

void showText(QLabel *label, const QString &text)
{
    if (!label)
        return;
    label->setText(text);
    label->show();
}

QLabel *labelNamed(QWidget *page, const char *name)
{
    return page->findChild<QLabel *>(QLatin1String(name));
}

QVector<HardwareSlot> slotsNamed(QWidget *page,
                                 std::initializer_list<std::pair<const char *, const char *>> names)
{
    QVector<HardwareSlot> rowSlots;
    for (const auto &[name, size] : names)
        rowSlots << HardwareSlot{labelNamed(page, name), size ? labelNamed(page, size) : nullptr};
    return rowSlots;
}
} // namespace

void fillHardwareRow(const QVector<HardwareSlot> &rowSlots, const QStringList &entries,
                     bool hasSize)
{
    for (const HardwareSlot &slot : rowSlots) {
        setShown(slot.name, false);
        setShown(slot.size, false);
    }
    if (rowSlots.isEmpty())
        return;
    for (int i = 0; i < entries.size(); ++i) {
        const HardwareSlot &slot = rowSlots[std::min(i, int(rowSlots.size()) - 1)];
        if (!hasSize) {
            showText(slot.name, entries[i]);
            continue;
        }
        const QStringList parts = entries[i].split(QLatin1Char(','));
        showText(slot.name, parts.value(0));
        showText(slot.size, parts.value(1));
    }
}

void fillHardwarePage(QWidget *page, const HardwareInventory &inventory)
{
    if (QLabel *cpu = labelNamed(page, "label_29"))
        cpu->setText(inventory.cpuName);
    if (QLabel *board = labelNamed(page, "label_30"))
        board->setText(inventory.boardInfo);

    fillHardwareRow(
        slotsNamed(page,
                   {{"label_31", "label_32"}, {"label_33", "label_34"}, {"label_44", "label_45"}}),
        inventory.memoryList, true);
    fillHardwareRow(
        slotsNamed(page,
                   {{"label_35", "label_36"}, {"label_37", "label_38"}, {"label_46", "label_47"}}),
        inventory.diskList, true);
    fillHardwareRow(slotsNamed(page, {{"label_39", "label_40"}, {"label_50", "label_51"}}),
                    inventory.gpuList, true);
    fillHardwareRow(
        slotsNamed(page, {{"label_41", nullptr}, {"label_48", nullptr}, {"label_49", nullptr}}),
        inventory.audioList, false);
    fillHardwareRow(slotsNamed(page, {{"label_42", nullptr}, {"label_52", nullptr}}),
                    inventory.networkList, false);

    if (QLabel *os = labelNamed(page, "label_43"))
        os->setText(inventory.osCaption);
}
