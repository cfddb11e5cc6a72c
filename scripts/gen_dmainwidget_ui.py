#!/usr/bin/env python3
"""Writes dmainwidget.ui, the Qt Designer form of the main window.

The form is large and very regular (sixteen metric blocks, eight inventory rows), so it is
described here as a tree and written out as Designer XML. Run it from the repository root after
changing the tree and commit both files:  python3 scripts/gen_dmainwidget_ui.py
"""

import os
import sys
from xml.sax.saxutils import escape

MAX = 16777215
RED_GRADIENT = ("qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
                "stop:0.0568182 rgba(236, 3, 78, 255), stop:0.914773 rgba(255, 41, 37, 255))")
YAHEI = '"微软雅黑"'
ALIGN_LEFT = "Qt::AlignLeft|Qt::AlignVCenter"
ALIGN_RIGHT = "Qt::AlignRight|Qt::AlignVCenter"
ALIGN_CENTER = "Qt::AlignCenter"


def rule(selector, *declarations):
    body = "".join("\t%s\n" % d for d in declarations)
    return "%s{\n%s}\n" % (selector, body)


def title_button_style(image):
    base = ":/images/mainpage/" + image
    return (rule("QPushButton", "border-image: url(%sDef.png);" % base) +
            rule("QPushButton:hover", "border-image: url(%sSel.png);" % base) +
            rule("QPushButton:pressed", "border-image: url(%sSel.png);" % base))


def page_buttons_style():
    text = "color: rgb(220, 220, 220);"
    lit = "border: 2px solid %s;" % RED_GRADIENT
    return (rule("QPushButton", text, "border: 2px solid rgb(102, 102, 102);", "border-radius:8px;") +
            "".join(rule("QPushButton:" + state, text, lit, "border-radius:8px;")
                    for state in ("hover", "pressed", "checked")))


METRIC_VALUE_LABELS = ["label_%s%02d%s" % (p, i, s)
                       for p in ("CPU", "GPU") for i in range(1, 5) for s in ("", "_UNIT")]

STYLES = {
    "frame_Bg": rule("QFrame#frame_Bg", "background-color: rgb(37, 37, 37);",
                     "border:1px solid rgb(20, 20, 20);", "border-radius: 12px;"),
    "frame_LeftAreaABC": rule("QFrame#frame_LeftAreaABC", "border-top-left-radius:12px;",
                              "border-bottom-left-radius:12px;") +
                         rule("QLabel", "color: rgb(220, 220, 220);"),
    "appLogo": "border-image: url(:/images/AppLogo.png);",
    "label_AppName": "color: rgb(249, 27, 51);",
    "pushButton": "border-image: url(:/images/leftTopLogo.png);",
    "frame_34": page_buttons_style(),
    "pushButton_Test": rule(
        "QPushButton",
        "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
        "stop:0 rgba(0, 102, 153, 85), stop:1 rgba(227, 6, 19, 85));",
        "color: rgb(220, 220, 220);", "font: 75 10pt %s;" % YAHEI,
        "border: 1px solid rgb(180, 180, 180);", "border-radius:8px;"),
    "frame_RightAreaABC": rule("QFrame#frame_RightAreaABC", "border-top-right-radius:12px;",
                               "border-bottom-right-radius:12px;") +
                          rule("QProgressBar", "background-color: rgb(60, 60, 60);",
                               "border-radius:4px;") +
                          rule("QProgressBar::chunk", "background-color: %s;" % RED_GRADIENT,
                               "border-radius:4px;"),
    "frame_TitleASDF": rule("QFrame#frame_TitleASDF", "border-top-right-radius:12px;"),
    "pushButton_Setting": title_button_style("setting"),
    "pushButton_Min": title_button_style("minWindow"),
    "pushButton_Max": title_button_style("maxWindow"),
    "pushButton_Close": title_button_style("closeWindow"),
    "frame_2": rule("QRadioButton", "color: rgb(175, 175, 175);", "font: 75 12pt %s;" % YAHEI) +
               rule("QRadioButton:checked", "color: rgb(255, 2, 0);",
                    "font: 75 12pt %s;" % YAHEI) +
               rule("QRadioButton::indicator:checked", "background-color: rgb(255, 2, 0);",
                    "border-radius:          6px;", "border:2px solid white;") +
               rule("QLabel", "color: rgb(220, 220, 220);", "font: 75 14pt;"),
    "label_ErrorMsg": "color: rgb(250, 20, 20);\nfont: 75 14pt %s;" % YAHEI,
    "frame_InfoShow": rule("QFrame#frame_LeftArea,QFrame#frame_CenterArea,QFrame#frame_RightArea",
                           "border:2px solid rgb(49, 49, 49);", "border-radius: 20px;") +
                      rule("QLabel", "color: rgb(220, 220, 220);", "font: 75 10pt;") +
                      rule(",".join("QLabel#" + n for n in METRIC_VALUE_LABELS), "font: 75 12pt;"),
    "frame_CenterArea": rule("QLabel", "color: rgb(220, 220, 220);", "font: 75 14pt %s;" % YAHEI),
    "frame_10": rule("QLabel#label_MemoryUsageNum", "color: rgb(249, 27, 51);", "font: 75 46pt;") +
                rule("QLabel#label_6", "color: rgb(249, 27, 51);", "font: 75 20pt;"),
    "frame_13": rule("QLabel#label_HardDiskUsageNum", "color: rgb(249, 27, 51);",
                     "font: 75 46pt;") +
                rule("QLabel#label_12", "color: rgb(249, 27, 51);", "font: 75 20pt;"),
    "frame_HardwareInfoArea": rule("QFrame#frame_HardwareInfoArea",
                                   "border:2px solid rgb(49, 49, 49);", "border-radius: 20px;"),
    "frame_CompanyInfo": rule("QFrame#frame_CompanyInfo", "background-color: rgb(179, 47, 23, 0);") +
                         rule("QLabel", "color: rgb(220, 220, 220);"),
}


class Widget:
    def __init__(self, cls, name, layout=None, pages=(), **props):
        self.cls, self.name, self.layout, self.pages, self.props = cls, name, layout, pages, props


class Layout:
    def __init__(self, cls, items, spacing=None, margins=None, hspacing=None, vspacing=None):
        self.cls, self.items, self.spacing, self.margins = cls, items, spacing, margins
        self.hspacing, self.vspacing = hspacing, vspacing


def row(items, **kw):
    return Layout("QHBoxLayout", items, **kw)


def column(items, **kw):
    return Layout("QVBoxLayout", items, **kw)


def grid(items, **kw):
    return Layout("QGridLayout", items, **kw)


def frame(name, layout=None, **props):
    return Widget("QFrame", name, layout, **props)


def label(name, text="TextLabel", **props):
    return Widget("QLabel", name, text=text, **props)


H, V = "hspacer", "vspacer"


class Writer:
    def __init__(self):
        self.out = []
        self.counters = {}

    def auto_name(self, base):
        n = self.counters.get(base, 0) + 1
        self.counters[base] = n
        return base if n == 1 else "%s_%d" % (base, n)

    def line(self, depth, text):
        self.out.append(" " * depth + text)

    def prop(self, depth, name, value, stdset=True):
        attr = "" if stdset else ' stdset="0"'
        self.line(depth, '<property name="%s"%s>%s</property>' % (name, attr, value))

    def widget(self, w, depth):
        self.line(depth, '<widget class="%s" name="%s">' % (w.cls, w.name))
        self.widget_props(w, depth + 1)
        if w.layout:
            self.layout(w.layout, depth + 1, ())
        for page in w.pages:
            self.widget(page, depth + 1)
        self.line(depth, "</widget>")

    def widget_props(self, w, d):
        p = w.props
        size = lambda s: "<size><width>%d</width><height>%d</height></size>" % s
        if "minimum" in p:
            self.prop(d, "minimumSize", size(p["minimum"]))
        if "maximum" in p:
            self.prop(d, "maximumSize", size(p["maximum"]))
        if p.get("nofocus"):
            self.prop(d, "focusPolicy", "<enum>Qt::NoFocus</enum>")
        style = p.get("style", STYLES.get(w.name))
        if style:
            self.prop(d, "styleSheet", '<string notr="true">%s</string>' % escape(style))
        elif p.get("empty_style"):
            self.prop(d, "styleSheet", '<string notr="true"/>')
        if w.cls == "QFrame":
            shape = "QFrame::NoFrame" if p.get("noframe") else "QFrame::StyledPanel"
            self.prop(d, "frameShape", "<enum>%s</enum>" % shape)
            self.prop(d, "frameShadow", "<enum>QFrame::Raised</enum>")
        if "value" in p:
            self.prop(d, "value", "<number>%d</number>" % p["value"])
        if "text" in p:
            text = p["text"]
            self.prop(d, "text", "<string>%s</string>" % escape(text) if text else "<string/>")
        if "icon_size" in p:
            self.prop(d, "iconSize", size(p["icon_size"]))
        if "checkable" in p:
            self.prop(d, "checkable", "<bool>true</bool>")
        if "checked" in p:
            self.prop(d, "checked", "<bool>%s</bool>" % ("true" if p["checked"] else "false"))
        if "align" in p:
            self.prop(d, "alignment", "<set>%s</set>" % p["align"])
        if "text_visible" in p:
            self.prop(d, "textVisible", "<bool>false</bool>")
        if "word_wrap" in p:
            self.prop(d, "wordWrap", "<bool>%s</bool>" % ("true" if p["word_wrap"] else "false"))
        if "current" in p:
            self.prop(d, "currentIndex", "<number>%d</number>" % p["current"])

    def layout(self, lay, depth, cell):
        base = {"QHBoxLayout": "horizontalLayout", "QVBoxLayout": "verticalLayout",
                "QGridLayout": "gridLayout"}[lay.cls]
        self.line(depth, '<layout class="%s" name="%s"%s>' % (lay.cls, self.auto_name(base),
                                                             self.cell_attrs(cell)))
        d = depth + 1
        if lay.spacing is not None:
            self.prop(d, "spacing", "<number>%d</number>" % lay.spacing)
        for side, value in zip(("leftMargin", "topMargin", "rightMargin", "bottomMargin"),
                               lay.margins or ()):
            if value != -1:
                self.prop(d, side, "<number>%d</number>" % value)
        if lay.hspacing is not None:
            self.prop(d, "horizontalSpacing", "<number>%d</number>" % lay.hspacing)
        if lay.vspacing is not None:
            self.prop(d, "verticalSpacing", "<number>%d</number>" % lay.vspacing)
        for item in lay.items:
            self.item(item, d)
        self.line(depth, "</layout>")

    @staticmethod
    def cell_attrs(cell):
        if not cell:
            return ""
        r, c, rs, cs = cell
        attrs = ' row="%d" column="%d"' % (r, c)
        if rs != 1:
            attrs += ' rowspan="%d"' % rs
        if cs != 1:
            attrs += ' colspan="%d"' % cs
        return attrs

    def item(self, item, depth):
        cell = ()
        if isinstance(item, tuple):
            item, cell = item[0], item[1:]
        if isinstance(item, Layout):
            self.line(depth, "<item%s>" % self.cell_attrs(cell))
            self.layout(item, depth + 1, ())
        else:
            self.line(depth, "<item%s>" % self.cell_attrs(cell))
            if isinstance(item, Widget):
                self.widget(item, depth + 1)
            else:
                self.spacer(item, depth + 1)
        self.line(depth, "</item>")

    def spacer(self, kind, depth):
        horizontal = kind == H
        self.line(depth, '<spacer name="%s">' % self.auto_name(
            "horizontalSpacer" if horizontal else "verticalSpacer"))
        self.prop(depth + 1, "orientation",
                  "<enum>Qt::%s</enum>" % ("Horizontal" if horizontal else "Vertical"))
        self.prop(depth + 1, "sizeHint",
                  "<size><width>%d</width><height>%d</height></size>" %
                  ((40, 20) if horizontal else (20, 40)), stdset=False)
        self.line(depth, "</spacer>")


# --- the tree -------------------------------------------------------------------------------

def left_column():
    title_mode_1 = Widget("QWidget", "page_TitleMode01", row([
        frame("frame_44", row([
            frame("frame", column([
                Widget("QPushButton", "appLogo", minimum=(30, 30), maximum=(30, 30), nofocus=True,
                       text="", icon_size=(32, 32)),
            ], spacing=0, margins=(0, 0, 0, 0)), maximum=(31, MAX)),
            frame("frame_5", column([
                label("label_AppName", "KELMAR", align=ALIGN_LEFT),
            ], spacing=0, margins=(0, 2, 0, 0))),
        ], spacing=6, margins=(0, 0, 0, 0))),
    ], spacing=6, margins=(0, 0, 0, 0)))
    title_mode_2 = Widget("QWidget", "page_TitleMode02", row([
        Widget("QPushButton", "pushButton", minimum=(200, 30), maximum=(200, 30), text=""),
    ], spacing=6, margins=(0, 0, 0, 0)))
    titles = Widget("QStackedWidget", "stackedWidget", current=0,
                    pages=(title_mode_1, title_mode_2))
    page_buttons = frame("frame_34", column([
        grid([
            (Widget("QPushButton", "pushButton_Monitor", minimum=(150, 65), maximum=(140, MAX),
                    empty_style=True, text="HARDWARE\nMONITOR", checkable=True, checked=True),
             0, 0, 1, 1),
            (Widget("QPushButton", "pushButton_Hardware", minimum=(150, 65), maximum=(140, MAX),
                    empty_style=True, text="HARDWARE\nINFORMATION", checkable=True,
                    checked=False), 1, 0, 1, 1),
        ], spacing=6, margins=(-1, 0, -1, 6), hspacing=6, vspacing=40),
    ], spacing=6, margins=(-1, 3, -1, -1)), minimum=(0, 100))
    return frame("frame_LeftAreaABC", column([
        Widget("QStackedWidget", "stackedWidget_2", maximum=(MAX, 60), current=1, pages=(
            Widget("QWidget", "page", row([], spacing=6)),
            Widget("QWidget", "page_2", column([titles], spacing=6)),
        )),
        page_buttons,
        V,
        Widget("QPushButton", "pushButton_Test", minimum=(140, 55), text="Test"),
        V,
        Widget("QPushButton", "pushButton_Logo", minimum=(100, 25), text="日志打印"),
        label("label_CrashTest", "Crash:XXX", minimum=(120, 0), align=ALIGN_CENTER),
        label("label_AppVersion", "V_1.0.0.01", empty_style=True, align=ALIGN_CENTER),
    ], spacing=6, margins=(0, 15, 0, -1)), minimum=(225, 0), maximum=(225, MAX))


def title_bar():
    buttons = [Widget("QPushButton", "pushButton_" + n, minimum=(18, 18), maximum=(18, MAX),
                      nofocus=True, text="") for n in ("Setting", "Min", "Max", "Close")]
    return frame("frame_TitleASDF", row([
        frame("frame_4", row([H], spacing=16, margins=(0, 6, -1, 0)), minimum=(560, 0),
              empty_style=True),
        H,
        frame("frame_25", column([
            frame("frame_24", row([H] + buttons, spacing=15, margins=(-1, 0, 0, 0))),
            V,
        ], spacing=6, margins=(0, 10, 10, 0)), minimum=(170, 0), maximum=(170, MAX)),
    ], spacing=6, margins=(14, -1, -1, -1)), minimum=(0, 85), maximum=(MAX, 85))


METRIC_BLOCKS = {
    # block: caption box, icon label, caption label, value box, icon, caption, value, unit, bar
    "CPU01": ("frame_26", "label_4", "label_3", "frame_3", "utilization", "CPU Utilization",
              "100", "%", 10),
    "CPU02": ("frame_27", "label_10", "label", "frame_7", "frequency", "CPU Frequency",
              "1000", "MHz", 20),
    "CPU03": ("frame_28", "label_14", "label_5", "frame_15", "fan", "CPU Fan", "1000", "RPM", 30),
    "CPU04": ("frame_29", "label_16", "label_7", "frame_16", "power", "CPU Power", "100", "W", 50),
    "GPU01": ("frame_30", "label_17", "label_9", "frame_17", "utilization", "GPU Utilization",
              "100", "%", 10),
    "GPU02": ("frame_31", "label_18", "label_11", "frame_18", "frequency", "GPU Frequency",
              "1000", "MHz", 20),
    "GPU03": ("frame_32", "label_19", "label_13", "frame_19", "fan", "GPU Fan", "1000", "RPM", 30),
    "GPU04": ("frame_33", "label_20", "label_15", "frame_20", "power", "GPU Power", "100", "W", 50),
}


def metric_block(block):
    caption_box, icon, caption, value_box, image, caption_text, value, unit, bar = \
        METRIC_BLOCKS[block]
    icon_limits = {"maximum": (13, 13)} if icon == "label_20" else \
        {"minimum": (13, 13), "maximum": (13, 13)}
    return grid([
        (Widget("QProgressBar", "progressBar_" + block, minimum=(0, 11), maximum=(MAX, 11),
                value=bar, align=ALIGN_CENTER, text_visible=False), 0, 0, 1, 2),
        (frame(caption_box, row([
            label(icon, "", style="border-image: url(:/images/InfoLog/%s.png);" % image,
                  **icon_limits),
            label(caption, caption_text),
        ], spacing=3, margins=(0, 0, 0, 0))), 1, 0, 1, 1),
        (frame(value_box, row([
            H,
            label("label_" + block, value, align=ALIGN_LEFT),
            label("label_%s_UNIT" % block, unit, align=ALIGN_LEFT),
        ], spacing=3, margins=(3, 0, 0, 0)), minimum=(100, 0), maximum=(100, MAX)), 1, 1, 1, 1),
    ], vspacing=3)


def side_panel(panel, dial_frame, dashboard, blocks_frame, kind):
    return frame(panel, column([
        frame(dial_frame, row([
            H,
            Widget("ProgressBarRound", dashboard, minimum=(195, 195), maximum=(MAX, 195)),
            H,
        ], spacing=6, margins=(-1, 30, -1, -1)), minimum=(0, 250)),
        V,
        frame(blocks_frame, column([metric_block("%s%02d" % (kind, i)) for i in range(1, 5)],
                                   spacing=20, margins=(10, 8, 10, 0)), minimum=(0, 180)),
    ], spacing=0, margins=(-1, 10, -1, 30)), minimum=(350, 0), maximum=(350, MAX))


def monitor_page():
    status = frame("frame_2", row([
        label("label_HidStatus", "Disconnected", empty_style=True, align=ALIGN_LEFT),
        H,
        label("label_ErrorMsg", "Please get a new APP", align=ALIGN_CENTER, word_wrap=False),
        H,
        Widget("QRadioButton", "radioButton_Model01", minimum=(60, 0), text="℃", checked=True),
        Widget("QRadioButton", "radioButton_Model02", minimum=(60, 0), text="℉"),
    ], spacing=6, margins=(3, 0, 40, 5)), minimum=(0, 35), maximum=(MAX, 35))
    figures = frame("frame_InfoShow", row([
        side_panel("frame_LeftArea", "frame_21", "widget_CpuDashboardNew", "frame_8", "CPU"),
        side_panel("frame_RightArea", "frame_22", "widget_GpuDashboardNew", "frame_9", "GPU"),
        H,
    ], spacing=80, margins=(6, 3, 0, -1)))
    return Widget("QWidget", "page_Monitor", row([
        frame("frame_MainArea", column([status, figures], spacing=0, margins=(6, 0, 0, 6)),
              empty_style=True),
    ], spacing=6, margins=(0, 0, 0, 0)))


def usage_block(block, caption_frame, caption, caption_text, number_frame, number, percent_frame,
                percent, bar, amount, amount_text):
    return frame(block, column([
        frame(caption_frame, row([label(caption, caption_text)], margins=(0, 0, -1, 0)),
              maximum=(MAX, 40)),
        frame(number_frame, row([
            label(number, "0", align=ALIGN_RIGHT),
            frame(percent_frame, column([label(percent, "%", align=ALIGN_LEFT)],
                                        margins=(0, 34, -1, -1))),
        ], margins=(35, -1, 0, -1))),
        grid([
            (Widget("QProgressBar", bar, value=24, text_visible=False), 0, 0, 1, 1),
            (label(amount, amount_text, minimum=(120, 0)), 0, 1, 1, 1),
        ], spacing=6),
    ], spacing=6))


def usage_page():
    return Widget("QWidget", "page_Hardware", row([
        H,
        frame("frame_CenterArea", column([
            V,
            usage_block("frame_Memory", "frame_6", "label_2", "Memory usage", "frame_10",
                        "label_MemoryUsageNum", "frame_11", "label_6", "progressBar_MemoryUsage",
                        "label_MemoryUsage", "10G/16G"),
            V,
            usage_block("frame_HardDisk", "frame_12", "label_8", "Hard disk usage (C:)",
                        "frame_13", "label_HardDiskUsageNum", "frame_14", "label_12",
                        "progressBar_HardDiskUsage", "label_HardDiskUsage", "800G/1000G"),
        ], spacing=16, margins=(-1, 16, -1, 20)), minimum=(450, 0)),
        H,
    ], spacing=6))


INVENTORY_ROWS = [
    # heading label, heading text, value labels with their cells (row, column)
    ("label_21", "CPU", [("label_29", 0, 0)]),
    ("label_22", "Mainboard", [("label_30", 0, 0)]),
    ("label_23", "RAM", [("label_31", 0, 0), ("label_32", 0, 1), ("label_33", 1, 0),
                         ("label_34", 1, 1), ("label_44", 2, 0), ("label_45", 2, 1)]),
    ("label_24", "Disk Drive", [("label_35", 0, 0), ("label_36", 0, 1), ("label_37", 1, 0),
                                ("label_38", 1, 1), ("label_46", 2, 0), ("label_47", 2, 1)]),
    ("label_25", "Graphics Card", [("label_39", 0, 0), ("label_40", 0, 1), ("label_50", 1, 0),
                                   ("label_51", 1, 1)]),
    ("label_26", "Sound Card", [("label_41", 1, 0), ("label_48", 2, 0), ("label_49", 3, 0)]),
    ("label_27", "Network Card", [("label_42", 0, 0), ("label_52", 1, 0)]),
    ("label_28", "System Version", [("label_43", 0, 0)]),
]
SIZE_CELLS = {"label_32", "label_34", "label_45", "label_36", "label_38", "label_47", "label_40",
              "label_51"}


def inventory_row(index, heading, heading_text, values):
    number = "%03d" % index
    cells = []
    for name, r, c in values:
        extra = {"word_wrap": True} if name in ("label_29", "label_30") else {}
        cells.append((label(name, "0.0GB" if name in SIZE_CELLS else "TextLabel", **extra),
                      r, c, 1, 1))
    heading_margins = (-1, 9, -1, -1) if index in (4, 6) else None
    return frame("frame_HardwareInfo" + number, row([
        frame("frame_HardwareInfoTitle" + number,
              column([label(heading, heading_text, align=ALIGN_RIGHT)],
                     margins=heading_margins), maximum=(200, MAX)),
        frame("frame_HardwareInfoValue" + number, column([grid(cells)], margins=(-1, 0, -1, 0))),
    ], spacing=6, margins=(-1, 0, -1, 0)))


def inventory_page():
    return Widget("QWidget", "page_HardwareInfoNew", column([
        frame("frame_HardwareInfoArea", column(
            [inventory_row(i + 1, *r) for i, r in enumerate(INVENTORY_ROWS)], spacing=6)),
    ], spacing=6, margins=(14, 0, 30, 9)))


def right_column():
    footer = frame("frame_CompanyInfo", column([
        frame("frame_35", row([
            H,
            label("label_CompanyUrl", "www.kelmar.example", align=ALIGN_RIGHT),
        ], spacing=6, margins=(0, 0, 0, 0)), noframe=True),
        label("label_CompanyCopyright", "Copyright © Kelmar. All rights reserved.",
              align=ALIGN_RIGHT),
    ], spacing=2, margins=(-1, 0, 20, -1)), minimum=(0, 70), maximum=(MAX, 70))
    pages = Widget("QStackedWidget", "stackedWidget_3", current=0,
                   pages=(monitor_page(), usage_page(), inventory_page()))
    return frame("frame_RightAreaABC", column([
        title_bar(),
        frame("frame_23", row([pages], spacing=6, margins=(0, 0, 0, 0))),
        footer,
    ], spacing=0, margins=(0, 0, 0, 0)))


def form():
    w = Writer()
    w.line(0, '<?xml version="1.0" encoding="UTF-8"?>')
    w.line(0, '<ui version="4.0">')
    w.line(1, "<class>DMainWidget</class>")
    w.line(1, '<widget class="QWidget" name="DMainWidget">')
    w.prop(2, "geometry", "<rect><x>0</x><y>0</y><width>1150</width><height>750</height></rect>")
    w.prop(2, "windowTitle", "<string>DMainWidget</string>")
    w.layout(column([
        frame("frame_Bg", row([left_column(), right_column()], spacing=0, margins=(0, 0, 0, 0))),
    ], spacing=0, margins=(0, 0, 0, 0)), 2, ())
    w.line(1, "</widget>")
    w.line(1, '<layoutdefault spacing="6" margin="11"/>')
    w.line(1, "<customwidgets>")
    w.line(2, "<customwidget>")
    w.line(3, "<class>ProgressBarRound</class>")
    w.line(3, "<extends>QWidget</extends>")
    w.line(3, "<header>widgets/ProgressBarRound.h</header>")
    w.line(2, "</customwidget>")
    w.line(1, "</customwidgets>")
    w.line(1, "<resources>")
    w.line(2, '<include location="images/images.qrc"/>')
    w.line(1, "</resources>")
    w.line(1, "<connections/>")
    w.line(0, "</ui>")
    return "\n".join(w.out) + "\n"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "gui", "dmainwidget.ui")
    with open(target, "w", encoding="utf-8") as f:
        f.write(form())


if __name__ == "__main__":
    main()
