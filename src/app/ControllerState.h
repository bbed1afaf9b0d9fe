#pragma once

#include "app/HeadlineRecord.h"
#include "app/PageStore.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace tickwell {

// The long-lived data of the application controller that the section builders, the ticker,
// the logging and the archiving work on. The controller owns it; subsystems get a reference.
struct ControllerState {
    QMap<QString, QStringList> m_stockSymbolHistories;
    std::optional<QHash<QString, QString>> m_lastStockValues;
    QString m_stocksUpdate_DateTimeString = QStringLiteral("None");
    std::optional<QString> m_lastHistory_DateTimeString;
    QString m_downloadHeadlines_DateTimeString = QStringLiteral("None");
    QHash<QString, QString> m_urlTitles;
    PageStore m_urlContents;
    bool m_isSaving = false;
    QMap<QString, QList<HeadlineRecord>> m_headlines;
    QImage m_upImage;
    QImage m_downImage;
    QImage m_spacerImage;
    std::optional<QColor> m_upColor;
    std::optional<QColor> m_downColor;

    // The sum of the records of every symbol in m_headlines.
    std::int32_t nbrHeadlines() const
    {
        std::int32_t count = 0;
        for (const auto &records : m_headlines)
            count += static_cast<std::int32_t>(records.size());
        return count;
    }
};

// Symbol to previous-close text, written by the watch-list build and read by the title ticker.
// Process-wide, created empty at launch and never emptied.
extern QHash<QString, QString> gPreviousClose;

} // namespace tickwell
