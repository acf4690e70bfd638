#include "app/selector_texts.h"

#include <QComboBox>

#include "app/tooltips.h"
#include "shell/texts.h"

namespace trellisane {

QString SelectorEntryText(const QString& englishText) {
    return Trellisane::tr(englishText.toUtf8().constData());
}

QString SelectorSourceText(const QComboBox& selector) {
    const QVariant source = selector.currentData(Qt::UserRole);
    return source.userType() == QMetaType::QString ? source.toString() : selector.currentText();
}

void FollowSelectorToolTip(QComboBox& selector) {
    QObject::connect(&selector, &QComboBox::currentTextChanged, &selector, [&selector] {
        selector.setToolTip(SelectorToolTip(SelectorSourceText(selector)));
    });
}

}  // namespace trellisane
