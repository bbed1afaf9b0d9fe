#pragma once

#include <QImage>
#include <QString>

#include <functional>

namespace tickwell {

// A notification shown by the desktop's notification service.
struct DesktopNotification {
    QString summary;
    QString body;
    QString iconName;  // the application's icon by name, also the name of its launcher
    QImage icon;       // and its pixels, for services that cannot find the name
    QString defaultActionLabel;
    std::function<void()> onDefaultAction; // the user chose the notification
    std::function<void()> onUndelivered;   // no service took it: tell the user some other way
};

// The desktop's notification service.
class DesktopNotifications {
public:
    virtual ~DesktopNotifications() = default;

    // Never blocks; exactly one of the callbacks may run later, from the event loop.
    virtual void show(DesktopNotification notification) = 0;
};

} // namespace tickwell
