#pragma once

#include <QString>
#include <QVariant>

namespace tickwell {

enum class OldStylePlistLayout {
    // Everything on one line: { key = value; }, ( a, b ).
    SingleLine,
    // One entry per line, indented by four spaces per level.
    Indented,
};

// The value as old-style property-list text: texts quoted unless made only of letters, digits
// and _$+/:.-, dictionaries { key = value; }, arrays ( a, b ), data <0fbd7a>, booleans 1 and 0,
// dates "2026-12-05 14:30:00 +0000".
QString OldStylePlistText(const QVariant &value, OldStylePlistLayout layout = OldStylePlistLayout::SingleLine);

} // namespace tickwell
