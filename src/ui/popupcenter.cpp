#include "ui/popupcenter.h"

#include "core/appcontext.h"

PopupCenter::PopupCenter(AppContext &ctx)
    : m_ctx(ctx)
{
}

PopupCenter::~PopupCenter()
{
    if (m_timer)
        m_ctx.scheduler().cancel(m_timer);
}

PopupCenter &PopupCenter::shared()
{
    return AppContext::current()->shared<PopupCenter>();
}

void PopupCenter::showProgress(const QString &text)
{
    show(Progress, text, kProgressTimeoutMs);
}

void PopupCenter::showError(const QString &text)
{
    show(Error, text, kStatusMs);
}

void PopupCenter::showSuccess(const QString &text)
{
    show(Success, text, kStatusMs);
}

void PopupCenter::dismissProgress()
{
    if (m_visible && m_kind == Progress)
        close();
}

bool PopupCenter::wasShown(Kind kind, const QString &text) const
{
    return m_history.contains(Record{kind, text, 0});
}

QStringList PopupCenter::texts(Kind kind) const
{
    QStringList out;
    for (const Record &r : m_history)
        if (r.kind == kind)
            out << r.text;
    return out;
}

void PopupCenter::show(Kind kind, const QString &text, int forMs)
{
    // The replaced pop-up's timer must not close this one early.
    if (m_timer)
        m_ctx.scheduler().cancel(m_timer);
    m_visible = true;
    m_kind = kind;
    m_text = text;
    m_history.append(Record{kind, text, m_ctx.scheduler().nowMs()});
    m_timer = m_ctx.scheduler().after(forMs, this, [this]() {
        m_timer = 0;
        close();
    });
    Q_EMIT changed();
    Q_EMIT shown(kind, text);
}

void PopupCenter::close()
{
    if (m_timer) {
        m_ctx.scheduler().cancel(m_timer);
        m_timer = 0;
    }
    if (!m_visible)
        return;
    m_visible = false;
    Q_EMIT changed();
    Q_EMIT closed();
}
