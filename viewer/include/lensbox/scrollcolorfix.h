#pragma once

#include "lensbox/lensbox_export.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace lensbox {

// Keeps the scroll bars inside one window from taking that window's colours:
// a back colour given to the frame would otherwise reach the bars through
// palette inheritance. While installed, the bars below the hooked window
// carry the application's own palette; removing the fix lets them inherit
// again. Each control holds its own, so several controls never share a hook.
class LENSBOX_EXPORT ScrollColorFix : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~ScrollColorFix() override;

    // Hooks `window`, first unhooking any window hooked before. A null window
    // hooks nothing.
    void install(QWidget *window);
    void remove();

    QWidget *hookedWindow() const { return m_hooked; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void shieldScrollBars();
    void releaseScrollBars();

    QPointer<QWidget> m_hooked;
};

} // namespace lensbox
