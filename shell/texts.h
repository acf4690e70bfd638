#pragma once

#include <QCoreApplication>

/// The translation context of the program's own texts, one for every layer: a text a person
/// reads is written `Trellisane::tr("...")` (or marked QT_TRANSLATE_NOOP("Trellisane", ...) where
/// it must stay a constant and is translated where shown). Without an installed catalogue (the C
/// locale, English) tr() gives the source text back unchanged. Outside the program's namespace,
/// so that the context is this one name at run time and for lupdate alike.
class Trellisane {
    Q_DECLARE_TR_FUNCTIONS(Trellisane)
};
