// Every shipped catalogue, brought up to date with the sources: each text translated, and each
// translation keeping its placeholders (%1, %n) and the companion's option names.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <vector>

namespace {

struct Message {
    QString source;
    QString type;       ///< the translation's type attribute: "" when finished
    QStringList forms;  ///< the translation, or each numerus form
    bool numerus = false;
};

std::vector<Message> Read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    std::vector<Message> messages;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"message") {
            messages.emplace_back();
            messages.back().numerus = xml.attributes().value(QStringLiteral("numerus")) == u"yes";
        } else if (xml.name() == u"source" && !messages.empty()) {
            messages.back().source = xml.readElementText();
        } else if (xml.name() == u"translation" && !messages.empty()) {
            messages.back().type = xml.attributes().value(QStringLiteral("type")).toString();
            if (!messages.back().numerus) messages.back().forms << xml.readElementText();
        } else if (xml.name() == u"numerusform" && !messages.empty()) {
            messages.back().forms << xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

/// The tokens a translation must keep as they are: placeholders and "--option" names.
QSet<QString> Kept(const QString& text) {
    static const QRegularExpression kToken(QStringLiteral("%(?:\\d+|n)|--[a-z][a-z0-9-]*"));
    QSet<QString> tokens;
    for (const QRegularExpressionMatch& match : kToken.globalMatch(text)) {
        tokens.insert(match.captured());
    }
    return tokens;
}

TEST(Catalogues, EveryTextIsTranslatedKeepingItsPlaceholders) {
    const QStringList paths =
        qEnvironmentVariable("TRELLISANE_CATALOGUES").split(u':', Qt::SkipEmptyParts);
    ASSERT_FALSE(paths.isEmpty()) << "TRELLISANE_CATALOGUES names no catalogue";
    for (const QString& path : paths) {
        const std::vector<Message> messages = Read(path);
        EXPECT_GT(messages.size(), 100u) << path.toStdString();
        for (const Message& message : messages) {
            const std::string where = path.toStdString() + ": " + message.source.toStdString();
            EXPECT_TRUE(message.type.isEmpty())
                << "not translated (" << message.type.toStdString() << "): " << where;
            ASSERT_FALSE(message.forms.isEmpty()) << where;
            for (const QString& form : message.forms) {
                EXPECT_FALSE(form.isEmpty()) << where;
                EXPECT_EQ(Kept(form), Kept(message.source))
                    << "placeholders or option names differ: " << where << "\n -> "
                    << form.toStdString();
            }
        }
    }
}

}  // namespace
