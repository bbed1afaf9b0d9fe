#pragma once

#include "platform/session/InstallLayout.h"

#include <QString>

#include <optional>

namespace tickwell {

// The XDG autostart entry that starts Tickwell when the user logs in:
// $XDG_CONFIG_HOME/autostart/com.brantlow.Tickwell.desktop. The file is the state; no setting
// mirrors it, so a change made in the session's own settings shows here too.
class AutostartEntry {
public:
    // program: what the entry starts; configHome: the XDG config folder (empty: the user's).
    explicit AutostartEntry(QString program = InstallLayout::tickwellProgram(), QString configHome = {});

    QString path() const { return m_path; }
    // True when the file is there and the session would start it: not marked Hidden and not
    // switched off by the session's own settings.
    bool isEnabled() const;
    // Writes the entry (replacing one the session switched off) or removes it. False, with the
    // reason in `error`, when that could not be done; nothing half-written is left.
    bool setEnabled(bool enabled, QString *error = nullptr);

    // The program as an Exec value: quoted and escaped where the desktop entry rules ask for it;
    // nothing when its path holds a control character that no escape can write.
    static std::optional<QString> execValue(const QString &program);

private:
    QString m_program;
    QString m_path;
};

} // namespace tickwell
