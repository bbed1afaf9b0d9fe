#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace tickwell {

// Elements nested deeper than this are flattened into their parent: real pages stay far below.
inline constexpr int kMaxMarkupDepth = 128;

// Prepares UTF-8 HTML for gumbo so that hostile markup costs linear time there: the parser walks
// its stack of open elements for many tags, its list of open formatting elements for every text,
// and the attributes of a tag for every attribute. Start tags that would open an element deeper
// than maxDepth are left out (their text stays), as are formatting elements left open beyond a
// small budget; a tag with very many attributes keeps only its name. The tree-building rules are
// followed far enough to know how deep an element is (end tags, the usual implied ends, raw text,
// comments, SVG and MathML). Markup within the limits passes byte for byte. Linear in its input.
QByteArray LimitMarkupNesting(QByteArrayView html, int maxDepth = kMaxMarkupDepth);

} // namespace tickwell
