// tickwell-defaults: reads and edits Tickwell's settings domain from the command line and tells
// a running Tickwell about the change.

#include "platform/session/DBusNotificationCenter.h"
#include "platform/settings/OldStylePlist.h"
#include "platform/settings/PlistSettingsStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace tickwell;

namespace {

enum ExitCode { Success = 0, NotFound = 1, Usage = 2 };

constexpr const char *kUsage =
    "usage: tickwell-defaults read [KEY]\n"
    "       tickwell-defaults read-type KEY\n"
    "       tickwell-defaults write KEY VALUE\n"
    "       tickwell-defaults write KEY -string TEXT\n"
    "       tickwell-defaults write KEY -bool true|false|yes|no|1|0\n"
    "       tickwell-defaults write KEY -int NUMBER\n"
    "       tickwell-defaults write KEY -float NUMBER\n"
    "       tickwell-defaults write KEY -data HEX\n"
    "       tickwell-defaults write KEY -array [TEXT...]\n"
    "       tickwell-defaults write KEY -dict [KEY TEXT...]\n"
    "       tickwell-defaults write KEY -dict-int [KEY NUMBER...]\n"
    "       tickwell-defaults write KEY -dict-entry ENTRY [KEY TEXT...]\n"
    "         sets one entry of the dictionary KEY to a dictionary of texts, keeping the\n"
    "         other entries; without KEY TEXT pairs it removes the entry\n"
    "       tickwell-defaults delete KEY\n"
    "The settings file is $XDG_CONFIG_HOME/com.brantlow.Tickwell.plist.\n";

void PrintLine(std::FILE *stream, const QString &text)
{
    std::fputs(qUtf8Printable(text + u'\n'), stream);
}

int UsageError(const QString &message = QString())
{
    if (!message.isEmpty())
        PrintLine(stderr, QStringLiteral("tickwell-defaults: ") + message);
    std::fputs(kUsage, stderr);
    return Usage;
}

std::optional<bool> ParseBool(const QString &text)
{
    const QString lower = text.toLower();
    if (lower == u"true" || lower == u"yes" || lower == u"1")
        return true;
    if (lower == u"false" || lower == u"no" || lower == u"0")
        return false;
    return std::nullopt;
}

std::optional<QByteArray> ParseHex(const QString &text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return std::nullopt;
    }
    return QByteArray::fromHex(text.toLatin1());
}

// The value after KEY: a flag naming its type and its arguments, or one bare text.
std::optional<QVariant> ParseTypedValue(const QStringList &arguments, QString &error)
{
    if (arguments.isEmpty()) {
        error = QStringLiteral("write needs a value");
        return std::nullopt;
    }
    const QString flag = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (flag == u"-array")
        return QVariant(QVariantList(rest.cbegin(), rest.cend()));
    if (flag == u"-dict" || flag == u"-dict-int") {
        // "-dict-int" stores whole numbers, as "ShowSettings" holds them.
        if (rest.size() % 2 != 0) {
            error = QStringLiteral("%1 needs a value for every key").arg(flag);
            return std::nullopt;
        }
        QVariantMap map;
        for (qsizetype i = 0; i < rest.size(); i += 2) {
            if (flag == u"-dict") {
                map.insert(rest.at(i), rest.at(i + 1));
                continue;
            }
            bool ok = false;
            const qlonglong number = rest.at(i + 1).toLongLong(&ok, 10);
            if (!ok) {
                error = QStringLiteral("\"%1\" is not a whole number").arg(rest.at(i + 1));
                return std::nullopt;
            }
            map.insert(rest.at(i), number);
        }
        return QVariant(map);
    }
    const QStringList singleFlags { QStringLiteral("-string"), QStringLiteral("-bool"), QStringLiteral("-int"),
        QStringLiteral("-float"), QStringLiteral("-data") };
    if (!singleFlags.contains(flag)) {
        if (arguments.size() != 1) {
            error = QStringLiteral("unknown value type %1").arg(flag);
            return std::nullopt;
        }
        return QVariant(flag);
    }
    if (rest.size() != 1) {
        error = QStringLiteral("%1 takes exactly one value").arg(flag);
        return std::nullopt;
    }
    const QString text = rest.first();
    std::optional<QVariant> value;
    if (flag == u"-string") {
        value = QVariant(text);
    } else if (flag == u"-bool") {
        if (const auto boolean = ParseBool(text))
            value = QVariant(*boolean);
    } else if (flag == u"-int") {
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok, 10);
        if (ok)
            value = QVariant(number);
    } else if (flag == u"-float") {
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        if (ok)
            value = QVariant(number);
    } else if (flag == u"-data") {
        if (const auto bytes = ParseHex(text))
            value = QVariant(*bytes);
    }
    if (!value)
        error = QStringLiteral("\"%1\" is not a valid %2 value").arg(text, flag.mid(1));
    return value;
}

// "-dict-entry ENTRY [KEY TEXT...]": the stored dictionary with one entry replaced by a
// dictionary of texts (or removed), as "PriceAlerts" holds them.
std::optional<QVariant> ParseDictionaryEntry(const std::optional<QVariant> &stored, const QStringList &arguments, QString &error)
{
    if (arguments.isEmpty() || arguments.size() % 2 == 0) {
        error = QStringLiteral("-dict-entry needs an entry name and a value for every key");
        return std::nullopt;
    }
    if (stored && stored->typeId() != QMetaType::QVariantMap) {
        error = QStringLiteral("-dict-entry needs a dictionary, and the stored value is not one");
        return std::nullopt;
    }
    QVariantMap dictionary = stored ? stored->toMap() : QVariantMap();
    QVariantMap entry;
    for (qsizetype i = 1; i < arguments.size(); i += 2)
        entry.insert(arguments.at(i), arguments.at(i + 1));
    if (entry.isEmpty())
        dictionary.remove(arguments.first());
    else
        dictionary.insert(arguments.first(), entry);
    return QVariant(dictionary);
}

QString TypeName(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QStringLiteral("boolean");
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QStringLiteral("integer");
    case QMetaType::Double:
        return QStringLiteral("float");
    case QMetaType::QByteArray:
        return QStringLiteral("data");
    case QMetaType::QDateTime:
        return QStringLiteral("date");
    case QMetaType::QVariantList:
        return QStringLiteral("array");
    case QMetaType::QVariantMap:
        return QStringLiteral("dictionary");
    default:
        return QStringLiteral("string");
    }
}

int KeyNotFound(const QString &key)
{
    PrintLine(stderr, QStringLiteral("tickwell-defaults: the key \"%1\" does not exist in com.brantlow.Tickwell").arg(key));
    return NotFound;
}

// Saves, then tells a running Tickwell so that it restarts its timers.
int SaveAndNotify(PlistSettingsStore &store)
{
    store.synchronize();
    if (store.hasUnsavedChanges()) {
        PrintLine(stderr, QStringLiteral("tickwell-defaults: could not save %1").arg(store.path()));
        return NotFound;
    }
    DBusNotificationCenter notifications;
    notifications.postPreferencesChanged();
    return Success;
}

int Run(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return UsageError();
    const QString command = arguments.first();
    PlistSettingsStore store(PlistSettingsStore::defaultPath());
    if (command == u"read" && arguments.size() <= 2) {
        if (arguments.size() == 1) {
            PrintLine(stdout, OldStylePlistText(store.values(), OldStylePlistLayout::Indented));
            return Success;
        }
        const auto value = store.value(arguments.at(1));
        if (!value)
            return KeyNotFound(arguments.at(1));
        PrintLine(stdout, OldStylePlistText(*value, OldStylePlistLayout::Indented));
        return Success;
    }
    if (command == u"read-type" && arguments.size() == 2) {
        const auto value = store.value(arguments.at(1));
        if (!value)
            return KeyNotFound(arguments.at(1));
        PrintLine(stdout, QStringLiteral("Type is ") + TypeName(*value));
        return Success;
    }
    if (command == u"write" && arguments.size() >= 3) {
        QString error;
        const auto value = arguments.at(2) == u"-dict-entry" ? ParseDictionaryEntry(store.value(arguments.at(1)), arguments.mid(3), error)
                                                            : ParseTypedValue(arguments.mid(2), error);
        if (!value)
            return UsageError(error);
        store.setValue(arguments.at(1), *value);
        return SaveAndNotify(store);
    }
    if (command == u"delete" && arguments.size() == 2) {
        if (!store.value(arguments.at(1)))
            return KeyNotFound(arguments.at(1));
        store.remove(arguments.at(1));
        return SaveAndNotify(store);
    }
    return UsageError();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return Run(QCoreApplication::arguments().mid(1));
}
