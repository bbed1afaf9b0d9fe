// The real progress window on its own: while a save runs its button reads "Stop", once it has
// ended "Close"; either way a click runs the stop action, and the title names the folder.
#include "archive/ProgressWindowView.h"
#include "archive/ProgressWindowWidgets.h"

#include <gtest/gtest.h>

namespace tickwell::testing {
namespace {

TEST(ProgressWindowView, TheButtonStopsWhileSavingAndClosesAfter)
{
    ProgressWindowView view;
    int stops = 0;
    view.setStopAction([&] { ++stops; });
    view.setRepresentedFolder(QStringLiteral("/home/someone/Downloads"));
    EXPECT_EQ(view.widgets().window.windowTitle(), QStringLiteral("Downloads"));
    view.orderFront();
    EXPECT_TRUE(view.isVisible());
    for (const auto &[running, text] : {std::pair{true, "Stop"}, std::pair{false, "Close"}}) {
        running ? view.startProgress() : view.stopProgress();
        EXPECT_EQ(view.widgets().stopButton.text(), QLatin1String(text));
        view.widgets().stopButton.click();
    }
    EXPECT_EQ(stops, 2);
    view.orderOut();
    EXPECT_FALSE(view.isVisible());
}

} // namespace
} // namespace tickwell::testing
