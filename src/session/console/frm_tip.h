#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "session/console/tip_list.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace corvane {

// The tip of the day: one tip picked at random from the tips file, Next Tip,
// OK, and the box that turns the tips at start-up on and off. Modal; it
// unloads itself through OK or its close box.
class frmTip : public QDialog {
    Q_OBJECT

public:
    // Without a generator one seeded from the clock picks the tips.
    explicit frmTip(TipList::Random random = {}, QWidget* parent = nullptr);

    // Reads the tips file and shows a random tip; false, reading nothing,
    // when the name is empty or names no file.
    bool LoadTips(const std::string& sFile);
    // Shows the tip at the current index; nothing when there are none.
    void DisplayCurrentTip();
    void SetLanguage();

    bool FormLoad() const { return formLoad_; }
    const TipList& Tips() const { return tips_; }

    // How the box's click saves the global settings (tests count it); an
    // empty function restores SaveGlobalSettings.
    static void SetSettingsSaver(std::function<void()> saver);

    QLabel* lblTipText() const { return lblTipText_; }
    QLabel* Label1() const { return label1_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdNextTip() const { return cmdNextTip_; }
    QCheckBox* chkLoadTipsAtStartup() const { return chkLoadTipsAtStartup_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdNextTip_Click();
    void chkLoadTipsAtStartup_Click(bool checked);

    TipList tips_;
    bool formLoad_ = true;
    QLabel* lblTipText_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* picture1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdNextTip_ = nullptr;
    QCheckBox* chkLoadTipsAtStartup_ = nullptr;
};

}  // namespace corvane
