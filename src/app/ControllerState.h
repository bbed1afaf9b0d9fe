#pragma once

#include "app/HeadlineRecord.h"
#include "app/PageStore.h"
#include "app/QuoteSnapshot.h"

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
// the logging, the alerts and the archiving work on. The controller owns it; subsystems get a reference.
struct ControllerState {
    QMap<QString, QStringList> m_stockSymbolHistories;
    std::optional<QHash<QString, QString>> m_lastStockValues;
    QString m_stocksUpdate_DateTimeString = QStringLiteral("None");
    std::optional<QString> m_lastHistory_DateTimeString;
    QString m_downloadHeadlines_DateTimeString = QStringLiteral("None");
    QHash<QString, QString> m_urlTitles;
    PageStore m_urlContents; // the pages and images of the last complete refresh
    QuoteSnapshot m_quotes;  // what the readers use: cut from those pages once, at the hand-over
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

} // namespace tickwell
