#include "errors/mail_composer.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include "platform/core/text.h"

namespace corvane {
namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A header value on one line.
std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    return value;
}

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// RFC 2047 for a header text that is not plain ASCII.
std::string HeaderText(const std::string& value) {
    const std::string line = OneLine(value);
    if (IsAscii(line)) return line;
    std::string encoded = Base64Lines(line);
    std::string compact;
    for (char c : encoded)
        if (c != '\r' && c != '\n') compact += c;
    return "=?UTF-8?B?" + compact + "?=";
}

std::string DateHeader(std::chrono::system_clock::time_point date, int offsetMinutes) {
    const std::time_t local =
        std::chrono::system_clock::to_time_t(date) + static_cast<std::time_t>(offsetMinutes) * 60;
    std::tm tm{};
    gmtime_r(&local, &tm);
    const int sign = offsetMinutes < 0 ? -1 : 1;
    const int offset = offsetMinutes * sign;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d",
                  kDays[tm.tm_wday], tm.tm_mday, kMonths[tm.tm_mon], tm.tm_year + 1900,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, sign < 0 ? '-' : '+', offset / 60,
                  offset % 60);
    return buffer;
}

// Lines ended by CR LF whatever ends them in the text.
std::string CrLfLines(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

// The format allows 998 octets a line; longer text travels as base64.
bool FitsEightBit(const std::string& crlfText) {
    std::size_t run = 0;
    for (char c : crlfText) {
        if (c == '\0') return false;
        if (c == '\r' || c == '\n') run = 0;
        else if (++run > 998) return false;
    }
    return true;
}

std::string TextPart(const std::string& text) {
    const std::string body = CrLfLines(text);
    std::string part = "Content-Type: text/plain; charset=UTF-8\r\n";
    if (FitsEightBit(body)) {
        part += std::string("Content-Transfer-Encoding: ") + (IsAscii(body) ? "7bit" : "8bit") +
                "\r\n\r\n" + body;
    } else {
        part += "Content-Transfer-Encoding: base64\r\n\r\n" + Base64Lines(text);
    }
    return part;
}

// A file name inside a quoted MIME parameter.
std::string QuotedName(const std::string& name) {
    std::string out;
    for (char c : OneLine(name)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

std::string Base64Lines(const std::string& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out, line;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        line += kAlphabet[(v >> 18) & 63];
        line += kAlphabet[(v >> 12) & 63];
        line += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        line += n > 2 ? kAlphabet[v & 63] : '=';
        if (line.size() >= 76) {
            out += line + "\r\n";
            line.clear();
        }
    }
    if (!line.empty()) out += line + "\r\n";
    return out;
}

std::string MailRecipient(const MailMessage& message) { return text::Trim(OneLine(message.to)); }

int LocalUtcOffsetMinutes(std::chrono::system_clock::time_point t) {
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return static_cast<int>(tm.tm_gmtoff / 60);
}

std::optional<std::string> ComposeMail(const MailMessage& message, const MailEnvelope& envelope) {
    const std::string to = MailRecipient(message);
    if (to.empty()) return std::nullopt;

    std::string mail = "From: " + OneLine(envelope.fromAddress) + "\r\n";
    mail += "To: " + to + "\r\n";
    mail += "Subject: " + HeaderText(message.subject) + "\r\n";
    mail += "Date: " + DateHeader(envelope.date, envelope.utcOffsetMinutes) + "\r\n";
    mail += "Message-ID: <" + OneLine(envelope.uniqueId) + "@" + OneLine(envelope.host) + ">\r\n";
    mail += "MIME-Version: 1.0\r\n";

    if (message.attachmentName.empty() && message.attachmentPathName.empty())
        return mail + TextPart(message.text);

    std::ifstream in(message.attachmentPathName, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    std::string name = message.attachmentName;
    if (name.empty()) {
        const auto slash = message.attachmentPathName.find_last_of("/\\");
        name = slash == std::string::npos ? message.attachmentPathName
                                          : message.attachmentPathName.substr(slash + 1);
    }
    const std::string boundary = "=_corvane_" + OneLine(envelope.uniqueId);
    mail += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    mail += "--" + boundary + "\r\n" + TextPart(message.text);
    mail += "--" + boundary + "\r\n";
    mail += "Content-Type: application/octet-stream; name=\"" + QuotedName(name) + "\"\r\n";
    mail += "Content-Disposition: attachment; filename=\"" + QuotedName(name) + "\"\r\n";
    mail += "Content-Transfer-Encoding: base64\r\n\r\n" + Base64Lines(content);
    mail += "--" + boundary + "--\r\n";
    return mail;
}

}  // namespace corvane
