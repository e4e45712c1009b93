#include "CupSession.h"

#include <QWidget>

namespace velmorin {

namespace {

const QString kObjectName = QStringLiteral("CupSession");

} // namespace

CupSession::CupSession(FeatureHost &host) : CupRunSource(host.hostWidget())
{
    setObjectName(kObjectName);
}

CupSession &CupSession::of(FeatureHost &host)
{
    auto *session =
        host.hostWidget()->findChild<CupSession *>(kObjectName, Qt::FindDirectChildrenOnly);
    // Installed with the features, before any of them: none is a program wired wrong.
    if (!session)
        qFatal("No cup session installed on the window.");
    return *session;
}

} // namespace velmorin
