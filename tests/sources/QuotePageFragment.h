#pragma once

#include <QString>

#include <optional>

namespace tickwell::testing {

// A small quote page with the markers the watch-list line reads, each optional.
struct QuotePageFragment {
    QString id = QStringLiteral("acme"); // the page writes identifiers in lower case
    std::optional<QString> company = QStringLiteral("Acme Corp.");
    std::optional<QString> last = QStringLiteral("150.25");
    std::optional<QString> previousClose = QStringLiteral("149.00");
    std::optional<QString> realTime;
    std::optional<QString> afterHours;
    QString body; // anything else, after the quote table

    QString html() const
    {
        QString page = QStringLiteral("<html><head><title>");
        if (company)
            page += QStringLiteral("ACME: Summary for ") + *company + QStringLiteral("- Yahoo! Finance");
        page += QStringLiteral("</title></head><body>\n");
        if (realTime)
            page += QStringLiteral("<span id=\"yfs_l90_%1\">%2</span>\n").arg(id, *realTime);
        if (afterHours)
            page += QStringLiteral("<span id=\"yfs_l91_%1\">%2</span>\n").arg(id, *afterHours);
        page += QStringLiteral("<table>");
        if (last)
            page += QStringLiteral("<tr><th>Last Trade:</th><td class=\"yfnc_tabledata1\"><big><b><span id=\"yfs_l10_%1\">%2"
                                   "</span></b></big></td></tr>\n").arg(id, *last);
        if (previousClose)
            page += QStringLiteral("<tr><th>Prev Close:</th><td class=\"yfnc_tabledata1\">%1</td></tr>\n").arg(*previousClose);
        page += QStringLiteral("</table>\n") + body + QStringLiteral("</body></html>\n");
        return page;
    }
};

} // namespace tickwell::testing
