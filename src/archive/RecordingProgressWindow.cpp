#include "archive/RecordingProgressWindow.h"

namespace tickwell {

void RecordingProgressWindow::setLabel(const QString &text)
{
    m_label = text;
    m_labels.append(text);
}

void RecordingProgressWindow::setDetail(const QString &text)
{
    m_detail = text;
    m_details.append(text);
}

void RecordingProgressWindow::setStatus(const QString &text)
{
    m_status = text;
    m_statuses.append(text);
    if (m_output)
        m_output(text);
}

} // namespace tickwell
