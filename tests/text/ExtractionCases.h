#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <ostream>
#include <vector>

// Pattern cuts that the free extraction and the searchable page text must agree on.
struct ExtractionCase {
    const char *name;
    QString text;
    QString begin;
    QString end;
    std::optional<QString> expected;
};

inline void PrintTo(const ExtractionCase &c, std::ostream *out) { *out << c.name; }

inline std::string ExtractionCaseName(const testing::TestParamInfo<ExtractionCase> &param)
{
    return param.param.name;
}

inline std::vector<ExtractionCase> ExtractionCases()
{
    using S = QString;
    return {
        {"case_ignored", S("x<B>42</b>y"), S("<b>"), S("</b>"), S("42")},
        {"empty_between_is_present", S("Open:<td>"), S("Open:"), S("<"), S("")},
        {"end_before_begin_is_ignored", S("B..A..."), S("A"), S("B"), std::nullopt},
        {"first_begin_counts", S("A1 A2 B"), S("A"), S("B"), S("1 A2 ")},
        {"first_begin_without_end_is_absent", S("A1"), S("A"), S("B"), std::nullopt},
        {"empty_begin_never_matches", S("abc"), S(""), S("c"), std::nullopt},
        {"empty_end_never_matches", S("abc"), S("a"), S(""), std::nullopt},
        {"empty_text", S(""), S("a"), S("b"), std::nullopt},
        {"end_equal_to_begin", S("aXa"), S("a"), S("a"), S("X")},
        {"end_right_after_begin", S("aa"), S("a"), S("a"), S("")},
        {"end_may_not_overlap_begin", S("a"), S("a"), S("a"), std::nullopt},
        {"begin_at_very_end", S("xxEND"), S("END"), S("x"), std::nullopt},
        {"pattern_longer_than_text", S("ab"), S("abc"), S("c"), std::nullopt},
        {"partial_prefix_restarts", S("aaab!"), S("aab"), S("!"), S("")},
        {"symbol_case_differs_from_page",
         S("<span id=\"yfs_l10_msft\">28.50</span>"), S("<span id=\"yfs_l10_MSFT\">"), S("</span>"), S("28.50")},
        {"result_is_not_decoded_or_trimmed", S("pre &amp; post"), S("pre"), S("post"), S(" &amp; ")},
        {"non_ascii_letters_compare_exactly", S("<\u00C9>1</\u00C9>"), S("<\u00E9>"), S("<"), std::nullopt},
        {"non_ascii_exact_match", S("\u00E9t\u00E9!"), S("\u00E9t"), S("!"), S("\u00E9")},
        {"kelvin_sign_is_not_k", S("1 \u212A 2"), S("k"), S("2"), std::nullopt},
        {"long_s_is_not_s", S("<\u017Fpan>9<"), S("<span>"), S("<"), std::nullopt},
        {"surrogate_pair_between", S("a\U0001F600b"), S("a"), S("b"), S("\U0001F600")},
        {"line_breaks_kept", S("Prev Close:</th><td>\r\n12.5\r\n</td>"), S("prev close:</TH><td>"), S("</td>"),
         S("\r\n12.5\r\n")},
    };
}
