#pragma once

#include "core/scheduler.h"

#include <QList>
#include <QObject>
#include <QString>

class AppContext;

// The pop-ups of one client. One shows at a time; a new one replaces the
// one showing. The progress pop-up blocks touches and closes by itself
// 10 seconds after it appeared (the only time-out screens have for a
// missing reply); error and success pop-ups show for 1 second and let
// touches through. Every pop-up shown is kept in the history, in order.
class PopupCenter : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool visible READ isVisible NOTIFY changed)
    Q_PROPERTY(Kind kind READ kind NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(bool touchesBlocked READ touchesBlocked NOTIFY changed)

public:
    enum Kind { Progress, Error, Success };
    Q_ENUM(Kind)

    static constexpr int kProgressTimeoutMs = 10000;
    static constexpr int kStatusMs = 1000;

    struct Record
    {
        Kind kind;
        QString text;
        qint64 atMs; // scheduler time it was shown
        bool operator==(const Record &o) const { return kind == o.kind && text == o.text; }
    };

    explicit PopupCenter(AppContext &ctx);
    ~PopupCenter() override;
    static PopupCenter &shared();

    Q_INVOKABLE void showProgress(const QString &text);
    Q_INVOKABLE void showError(const QString &text);
    Q_INVOKABLE void showSuccess(const QString &text);
    // Closes the progress pop-up; an error or success pop-up keeps its second.
    Q_INVOKABLE void dismissProgress();

    bool isVisible() const { return m_visible; }
    Kind kind() const { return m_kind; }
    QString text() const { return m_text; }
    bool touchesBlocked() const { return m_visible && m_kind == Progress; }
    bool isProgressVisible() const { return touchesBlocked(); }

    QList<Record> history() const { return m_history; }
    bool wasShown(Kind kind, const QString &text) const;
    QStringList texts(Kind kind) const;
    void clearHistory() { m_history.clear(); }

Q_SIGNALS:
    void changed();
    void shown(PopupCenter::Kind kind, const QString &text);
    void closed();

private:
    void show(Kind kind, const QString &text, int forMs);
    void close();

    AppContext &m_ctx;
    bool m_visible = false;
    Kind m_kind = Progress;
    QString m_text;
    Scheduler::TimerId m_timer = 0;
    QList<Record> m_history;
};
