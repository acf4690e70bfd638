/*
 * Trellisane's skin: a Qt style sheet, applied to the main window at start-up.
 *
 * A calm light theme: a soft grey window, white cards for the list and the two option
 * frames, quiet outlined buttons, and one blue accent for "Start Renaming", the only button
 * that changes the disk. Every control keeps its fixed place and size, so paddings stay small
 * and no rule changes a font. Dialogs opened from the window inherit the sheet.
 */

QWidget {
    color: #1f2933;
}

/* A control or menu entry that cannot be used now must look it: the colour above would
   otherwise hide that it is disabled. */
QWidget:disabled,
QMenu::item:disabled {
    color: #9aa5b1;
}

#Form1 {
    background-color: #eef1f6;
}

/* Message boxes and prompts: white, so they stand out in front of the grey window. */
QDialog,
QMessageBox {
    background-color: #ffffff;
    border: 1px solid #b8c2d1;
}

/* ---- The folder list ------------------------------------------------------------------- */

QTableView#ListView1 {
    background-color: #ffffff;
    alternate-background-color: #f6f8fc;
    border: 1px solid #c9d2df;
    border-radius: 6px;
    gridline-color: #edf0f5;
    selection-background-color: #d6e4ff;
    selection-color: #10284f;
    outline: 0;
}

QTableView#ListView1::item {
    padding: 0px 4px;
    border: none;
}

QTableView#ListView1::item:selected {
    background-color: #d6e4ff;
    color: #10284f;
}

QTableView#ListView1 QHeaderView {
    background-color: #f3f6fb;
    border: none;
    border-bottom: 1px solid #c9d2df;
    border-top-left-radius: 5px;
    border-top-right-radius: 5px;
}

QTableView#ListView1 QHeaderView::section {
    background-color: #f3f6fb;
    color: #3a4a5f;
    border: none;
    border-right: 1px solid #dde3ec;
    padding: 3px 8px;
}

QTableView#ListView1 QHeaderView::section:first {
    border-top-left-radius: 5px;
}

QTableView#ListView1 QTableCornerButton::section {
    background-color: #f3f6fb;
    border: none;
    border-bottom: 1px solid #c9d2df;
}

/* Slim scroll bars without arrow buttons. */
QScrollBar:vertical {
    background: transparent;
    width: 10px;
    margin: 2px 2px 2px 0px;
}

QScrollBar:horizontal {
    background: transparent;
    height: 10px;
    margin: 0px 2px 2px 2px;
}

QScrollBar::handle:vertical {
    background: #c2cad6;
    border-radius: 3px;
    min-height: 24px;
}

QScrollBar::handle:horizontal {
    background: #c2cad6;
    border-radius: 3px;
    min-width: 24px;
}

QScrollBar::handle:hover {
    background: #93a0b4;
}

QScrollBar::add-line,
QScrollBar::sub-line {
    width: 0px;
    height: 0px;
}

QScrollBar::add-page,
QScrollBar::sub-page {
    background: none;
}

/* ---- Buttons ---------------------------------------------------------------------------- */

QPushButton {
    background-color: #ffffff;
    border: 1px solid #bfc8d6;
    border-radius: 6px;
    padding: 2px 12px;
    color: #1f2933;
}

QPushButton:hover {
    background-color: #f0f5ff;
    border-color: #7d9fe0;
}

QPushButton:pressed {
    background-color: #dbe6fb;
    border-color: #4f78c9;
}

QPushButton:focus {
    border-color: #2f6fdb;
}

QPushButton:disabled {
    background-color: #f3f5f8;
    border-color: #dde2e9;
    color: #9aa5b5;
}

/* "Start Renaming": the one action that changes the disk carries the accent. */
QPushButton#PushButton2 {
    background-color: #2f6fdb;
    border-color: #2459b5;
    color: #ffffff;
}

QPushButton#PushButton2:hover {
    background-color: #255fc4;
}

QPushButton#PushButton2:pressed {
    background-color: #1d4d9f;
}

QPushButton#PushButton2:focus {
    border-color: #163b7a;
}

QPushButton#PushButton2:disabled {
    background-color: #b5c9ec;
    border-color: #b5c9ec;
    color: #eef3fc;
}

QDialogButtonBox {
    dialogbuttonbox-buttons-have-icons: 0;
}

QDialogButtonBox QPushButton {
    min-width: 72px;
    min-height: 22px;
}

/* ---- The option frames ------------------------------------------------------------------ */

QGroupBox {
    background-color: #ffffff;
    border: 1px solid #c9d2df;
    border-radius: 6px;
    margin-top: 7px;
}

QGroupBox::title {
    subcontrol-origin: margin;
    subcontrol-position: top left;
    left: 10px;
    padding: 0px 4px;
    color: #2f5fae;
}

/* The frame's own white: the native check mark's box takes its outline from this colour. */
QCheckBox {
    background-color: #ffffff;
    spacing: 3px;
}

/* The selector keeps the platform's own drawing, arrow included (a style sheet could draw its
   arrow only from an image file); only its drop-down list is themed. */
QComboBox QAbstractItemView {
    background-color: #ffffff;
    border: 1px solid #bfc8d6;
    selection-background-color: #d6e4ff;
    selection-color: #10284f;
    outline: 0;
}

/* ---- Prompts and tooltips ---------------------------------------------------------------- */

QLineEdit {
    background-color: #ffffff;
    border: 1px solid #bfc8d6;
    border-radius: 5px;
    padding: 2px 6px;
    selection-background-color: #2f6fdb;
}

QLineEdit:focus {
    border-color: #2f6fdb;
}

QToolTip {
    background-color: #25303f;
    color: #f5f7fa;
    border: 1px solid #25303f;
    padding: 4px 6px;
}
