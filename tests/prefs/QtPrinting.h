#pragma once

#include <QDebug>
#include <QString>
#include <QVariant>

#include <ostream>

// Readable failure messages for Qt values (found by argument-dependent lookup; lists print
// element by element through these).
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QVariant &value, std::ostream *out)
{
    QString text;
    QDebug(&text).nospace() << value;
    *out << text.toStdString();
}
