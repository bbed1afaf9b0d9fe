#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QVariant>

#include <gtest/gtest.h>

#include "platform/settings/OldStylePlist.h"
#include "support/StrictlyEqual.h"
#include "support/WaitUntil.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

namespace tickwell::testing {

inline ::testing::AssertionResult SameTypedValue(const std::optional<QVariant> &actual, const QVariant &expected)
{
    if (actual && StrictlyEqual(*actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << qPrintable(actual ? OldStylePlistText(*actual) : QStringLiteral("nothing"))
                                         << ", expected " << qPrintable(OldStylePlistText(expected));
}

inline QByteArray Plist(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + body + "</dict></plist>\n";
}

inline QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace tickwell::testing
