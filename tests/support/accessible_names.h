#pragma once

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
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

}  // namespace corvane::test
