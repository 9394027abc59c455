#pragma once

#include "ui/ktbaseviewcontroller.h"
#include "ui/rowlistmodel.h"

#include <QVariantList>

// The effect chooser ("动画效果"). Choosing an effect fixes its frame with
// the window current at that moment and opens the throwing screen; nothing
// is sent here.
class AnimationViewController : public KTBaseViewController
{
    Q_OBJECT
    // One row per effect button: "tag", "group" (its group label), "picture".
    Q_PROPERTY(RowListModel *effects READ effectModel CONSTANT)

public:
    AnimationViewController();
    ~AnimationViewController() override;

    static QVariantList effects();
    RowListModel *effectModel() const { return m_effectModel; }
    // The picture of an effect tag ("vedio_14" to "vedio_18"); empty for another tag.
    static QString pictureForTag(int tag);

    // An effect button. A tag outside 1 to 5 opens nothing: its throw
    // would have no frame to send.
    Q_INVOKABLE void animationButtonAction(int tag);

protected:
    void viewDidLoad() override;
    void retranslate() override;

private:
    RowListModel *m_effectModel;
};
