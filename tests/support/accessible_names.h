#pragma once

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWidget>
#include <set>
#include <string>

namespace corvane::test {

// Every captioned text box and list of the window, as the accessibility tree
// names it: each must carry its caption (without the mnemonic's "&"), so a
// screen reader tells one box from another. Every other text box must be one
// of `uncaptioned` (boxes the window shows without a caption of their own).
inline void ExpectEveryBoxNamedByItsLabel(QWidget* window, std::set<std::string> uncaptioned = {}) {
    int named = 0;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->buddy()) continue;
        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(label->buddy());
        ASSERT_NE(box, nullptr) << label->objectName().toStdString();
        EXPECT_EQ(box->text(QAccessible::Name).toStdString(), QString(label->text()).remove('&').toStdString())
            << label->objectName().toStdString();
        ++named;
    }
    EXPECT_GT(named, 0);
    for (QWidget* box : window->findChildren<QWidget*>()) {
        const bool textBox = qobject_cast<QLineEdit*>(box) || qobject_cast<QPlainTextEdit*>(box) ||
                             qobject_cast<QComboBox*>(box) || qobject_cast<QAbstractSpinBox*>(box);
        if (!textBox || box->parentWidget() == nullptr || qobject_cast<QComboBox*>(box->parentWidget())) continue;
        bool hasCaption = false;
        for (QLabel* label : window->findChildren<QLabel*>()) hasCaption = hasCaption || label->buddy() == box;
        EXPECT_TRUE(hasCaption || uncaptioned.contains(box->objectName().toStdString()))
            << box->objectName().toStdString() << " has no label";
    }
}

// A mnemonic in a caption takes the focus to its box: each shown caption is
// given one of its own for a moment (Alt+1, Alt+2, ...). The window must be active.
inline void ExpectMnemonicsReachTheirBoxes(QWidget* window) {
    QWidget* focused = window->focusWidget();
    int digit = 0;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QWidget* box = label->buddy();
        if (!box || !label->isVisible() || !box->isEnabled() || box->focusPolicy() == Qt::NoFocus || digit == 9)
            continue;
        ++digit;
        const QString caption = label->text();
        label->setText(QStringLiteral("&%1 ").arg(digit) + caption);
        window->setFocus();
        QTest::keyClick(window, static_cast<Qt::Key>(Qt::Key_0 + digit), Qt::AltModifier);
        EXPECT_TRUE(label->buddy()->hasFocus()) << label->objectName().toStdString();
        label->setText(caption);
    }
    EXPECT_GT(digit, 0);
    if (focused) focused->setFocus();
}

}  // namespace corvane::test
