#include "SectionFixture.h"

#include "sources/OtherIndicesSection.h"
#include "sources/SourceActions.h"

namespace tickwell::testing {
namespace {

// The anchor names the other-indices host of the settings.
const QString anchor = QStringLiteral("<a href=\"http://indices.test:8080/chart/?s=NYBOT_DX\">US Dollar</a>");

class OtherIndicesSection : public SectionFixture {
protected:
    QString build(const QString &page)
    {
        storePage(QStringLiteral("http://indices.test:8080/"), page);
        menu.clear();
        auto ctx = context();
        addOtherMarketIndices(ctx);
        return menu.size() == 1 ? plainText(*menu[0].styledTitle) + QStringLiteral(" | ") + menu[0].image : QString();
    }
};

TEST_F(OtherIndicesSection, DollarIndexLineFollowsItsCells)
{
    const struct { QString cells; QString line; } cases[] = {
        {QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15%</dd>"),
         QStringLiteral("U.S. Dollar Index: 80.52 (+0.12, +0.15%) | menuitem_up_g.tif")},
        // A falling index ignores a rising quote further down.
        {QStringLiteral("<dd class=\"down\">79.90</dd><dd class=\"down\">-0.62 -0.77%</dd><dt>Gold</dt><dd class=\"up\">1291.40</dd>"
                        "<dd class=\"up\">+12.30 +0.96%</dd>"),
         QStringLiteral("U.S. Dollar Index: 79.90 (-0.62, -0.77%) | menuitem_down_r.tif")},
        {QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">0.00 0.00%</dd>"),
         QStringLiteral("U.S. Dollar Index: 80.52 | menuitem_spacer.tif")},
        // The change cell must split into exactly two parts, and the value may not be empty.
        {QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15% today</dd>"), QString()},
        {QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12</dd>"), QString()},
        {QStringLiteral("<dd class=\"up\">80.52</dd>"), QString()},
        {QStringLiteral("<dd class=\"up\"></dd><dd class=\"up\">+0.12 +0.15%</dd>"), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(build(QStringLiteral("<dd class=\"down\">1</dd><dl><dt>") + anchor + c.cells), c.line) << c.cells.toStdString();
    EXPECT_EQ(build(QString(anchor).replace(QStringLiteral("indices.test:8080"), QStringLiteral("quotes.ino.com")) + cases[0].cells), QString())
        << "an anchor of another host";
}

TEST_F(OtherIndicesSection, ChoosingTheLineOpensThePage)
{
    build(anchor + QStringLiteral("<dd class=\"up\">80.52</dd><dd class=\"up\">+0.12 +0.15%</dd>"));
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].styledTitle->back().color, QColor(Qt::green));
    selItemOtherMarketIndices(menu[0], hosts, desktop);
    EXPECT_EQ(desktop.lines(), QStringList{QStringLiteral("open: http://indices.test:8080/")});
}

} // namespace
} // namespace tickwell::testing
