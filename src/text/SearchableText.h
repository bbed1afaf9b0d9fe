#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tickwell {

// A page text with an ASCII-case-folded twin made once, so that the many pattern searches of
// cutting a page are plain forward scans. The patterns of the quote sources are ASCII; letters
// outside ASCII compare exactly.
class SearchableText {
public:
    SearchableText() = default;
    explicit SearchableText(QString text);

    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }

    // Position of the first case-insensitive occurrence of pattern at or after from, or -1.
    // An empty pattern never matches.
    qsizetype indexOf(QStringView pattern, qsizetype from = 0) const;

    // Same contract as the free extractBetweenPattern on text().
    std::optional<QString> extractBetweenPattern(QStringView begin, QStringView end) const;

private:
    qsizetype scan(QStringView pattern, qsizetype from) const;

    QString m_text;
    QString m_folded;
};

} // namespace tickwell
