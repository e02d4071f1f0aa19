#include "session/login/login_boxes.h"

#include <QLineEdit>
#include <QProxyStyle>

#include "platform/core/cp1252.h"

namespace corvane {
namespace {

constexpr int kMaxBoxLength = 20;

// The style's own mask character varies; these boxes show "*".
class AsteriskMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

QValidator::State RecordTextValidator::validate(QString& input, int&) const {
    const std::string utf8 = input.toStdString();
    return cp1252::ToUtf8(cp1252::FromUtf8(utf8)) == utf8 ? Acceptable : Invalid;
}

QLineEdit* NewLoginBox(QWidget* parent, const char* name, bool masked) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(kMaxBoxLength);
    box->setValidator(new RecordTextValidator(box));
    if (masked) {
        auto* style = new AsteriskMaskStyle;
        style->setParent(box);
        box->setStyle(style);
        box->setEchoMode(QLineEdit::Password);
    }
    return box;
}

}  // namespace corvane
