#pragma once

#include <QString>

#include <memory>

struct UCollator;

namespace tickwell {

// An ICU collator set up for the file manager's order (see CompareLikeTheFinder). Opening one
// costs more than a comparison, so a sort keeps one for all its comparisons.
class FinderCollator {
public:
    FinderCollator();
    ~FinderCollator();
    FinderCollator(FinderCollator &&) noexcept;
    FinderCollator &operator=(FinderCollator &&) noexcept;

    int compare(const QString &a, const QString &b) const;

private:
    struct Close {
        void operator()(UCollator *collator) const;
    };
    std::unique_ptr<UCollator, Close> m_collator;
};

} // namespace tickwell
