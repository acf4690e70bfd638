#include "app/accessibility.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTableView>

#include "shell/texts.h"

namespace trellisane {

namespace {

void Describe(QWidget& widget, const QString& name, const QString& description) {
    widget.setAccessibleName(name);
    if (!description.isEmpty()) widget.setAccessibleDescription(description);
}

/// A control's caption as its accessible name: the caption without its mnemonic marks.
QString NameOf(const QString& caption) {
    QString name = caption;
    name.remove(u'&');
    return name;
}

}  // namespace

void DescribeForm1Controls(const Form1Controls& c) {
    Describe(*c.ListView1, Trellisane::tr("Folders"),
             Trellisane::tr("Each listed folder's current path and its new path. Delete removes "
                            "the selected row; the context menu key opens the list's menu."));
    Describe(*c.PushButton3, NameOf(c.PushButton3->text()),
             Trellisane::tr("Picks a folder and adds it to the list."));
    Describe(*c.PushButton2, NameOf(c.PushButton2->text()),
             Trellisane::tr("Renames every listed folder to its new path."));
    Describe(*c.Frame1, NameOf(c.Frame1->title()), QString());
    Describe(*c.Combo1, Trellisane::tr("Renaming operation"),
             Trellisane::tr("The renaming operation, which gives every listed folder its new "
                            "name."));
    Describe(*c.Frame2, NameOf(c.Frame2->title()), QString());
    Describe(*c.Check1, NameOf(c.Check1->text()), QString());
    Describe(*c.PushButton1, NameOf(c.PushButton1->text()),
             Trellisane::tr("Removes every folder from the list; nothing on disk changes."));
    Describe(*c.PushButton4, NameOf(c.PushButton4->text()),
             Trellisane::tr("Adds the sample folders that come with the program."));
    Describe(*c.PushButton6, NameOf(c.PushButton6->text()),
             Trellisane::tr("Tells where to ask questions."));
    // Every control takes the focus from the keyboard, and the style draws it.
    for (QWidget* control :
         {static_cast<QWidget*>(c.ListView1), static_cast<QWidget*>(c.PushButton3),
          static_cast<QWidget*>(c.PushButton2), static_cast<QWidget*>(c.Combo1),
          static_cast<QWidget*>(c.Check1), static_cast<QWidget*>(c.PushButton1),
          static_cast<QWidget*>(c.PushButton4), static_cast<QWidget*>(c.PushButton6)}) {
        control->setFocusPolicy(Qt::StrongFocus);
        control->setAttribute(Qt::WA_MacShowFocusRect, true);
    }
}

QString MarkDescription(const CellLook& look) {
    QStringList words;
    switch (look.mark) {
        case PlanMark::WillNotRename:
            words << Trellisane::tr("Cannot be renamed.");
            break;
        case PlanMark::Unchanged:
            words << Trellisane::tr("Unchanged: the new name is the current name.");
            break;
        case PlanMark::Renamed:
            words << Trellisane::tr("Renamed.");
            break;
        case PlanMark::RunFailed:
            words << Trellisane::tr("Could not be renamed.");
            break;
        case PlanMark::None:
            break;
    }
    if (look.italic) words << Trellisane::tr("Made by an earlier preview.");
    if (!look.toolTip.isEmpty()) words << look.toolTip;
    return words.join(u' ');
}

}  // namespace trellisane
