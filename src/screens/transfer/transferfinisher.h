#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>

class AppContext;

// The step after a finished transfer that must not depend on the sending
// screen still being there: 1.5 s after the end it restarts the endpoint
// and puts the file on the window's play list (5101). Leaving the screen
// meanwhile must not cost the file its place on the list. Only the question
// whether to play it belongs to the screen, and is asked only while that
// screen lives.
class TransferFinisher : public QObject
{
    Q_OBJECT

public:
    static constexpr int kAddToListDelayMs = 1500;

    explicit TransferFinisher(AppContext &ctx);
    static TransferFinisher &shared();

    // entry: the finished file ("filesType", "filesName"); windowID: the
    // window it was sent to. askToPlay runs after 5101 went, unless asker
    // is gone by then.
    void addTovedioListLater(const QVariantMap &entry, const QString &windowID, QObject *asker,
                             std::function<void()> askToPlay);
    // Steps scheduled and not run yet.
    int pendingCount() const { return m_pending; }

private:
    AppContext &m_ctx;
    int m_pending = 0;
};
