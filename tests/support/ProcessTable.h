#pragma once

#include <QString>

namespace tickwell::test {

// The first child of `parent` whose command name starts with `name` (names are cut to 15
// characters by the kernel); 0 when there is none.
qint64 ChildProcessId(qint64 parent, const QString &name);

} // namespace tickwell::test
