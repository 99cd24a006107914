// The real-world mix profile: the shapes mail takes when it comes from many different
// programs, with many small attachments and many charsets.
#include <random>
#include <string>

#include "SyntheticMail.h"
#include "SyntheticText.h"

namespace vesk::bench {

using namespace text;

namespace {

// A line of text in a charset, as its bytes in that charset.
struct CharsetText {
    const char* charset;
    const char* encoding;  // the transfer encoding a mail program would pick for it
    const char* bytes;
};

const CharsetText kTexts[] = {
    {"utf-8", "quoted-printable", "Gr\xc3\xbc\xc3\x9f" "e aus M\xc3\xbcnchen \xe2\x80\x93 sch\xc3\xb6nes Wochenende!"},
    {"utf-8", "8bit", "Caf\xc3\xa9 \xe2\x82\xac 12, na\xc3\xafve r\xc3\xa9sum\xc3\xa9 \xe2\x9c\x93"},
    {"iso-8859-1", "quoted-printable", "R\xe9sum\xe9 de la r\xe9union, \xe0 bient\xf4t \xa9"},
    {"iso-8859-15", "8bit", "Prix: 30 \xa4 (euro), \xbd litre"},
    {"windows-1252", "8bit", "\x93Quoted\x94 \x96 price \x80" "480, it\x92s fine\x85"},
    {"koi8-r", "base64", "\xf0\xd2\xc9\xd7\xc5\xd4, \xcb\xc1\xcb \xc4\xc5\xcc\xc1?"},
    {"iso-2022-jp", "7bit", "\x1b$B$3$s$K$A$O\x1b(B Kyoto"},
    {"shift_jis", "base64", "\x93\xfa\x96\x7b\x82\xa9\x82\xe7 hello"},
    {"gb2312", "base64", "\xd6\xd0\xce\xc4 \xd3\xca\xbc\xfe"},
};

struct AttachmentKind {
    const char* type;
    const char* extension;
    unsigned minBytes, spreadBytes;
};

const AttachmentKind kAttachments[] = {
    {"application/pdf", "pdf", 3000, 9000},
    {"image/jpeg", "jpg", 2000, 10000},
    {"image/png", "png", 600, 3000},
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document", "docx", 4000, 8000},
    {"text/vcard", "vcf", 200, 300},
    {"application/zip", "zip", 1000, 6000},
    {"text/csv", "csv", 300, 2000},
};

// A body part of text in `t`'s charset: the prose lines in ASCII plus the charset's own line.
std::string textPart(const CharsetText& t, const char* subtype, const std::string& prose) {
    std::string raw = std::string(t.bytes) + "\n\n" + prose;
    std::string body = std::string(t.encoding) == "quoted-printable" ? quotedPrintable(raw)
                       : std::string(t.encoding) == "base64"         ? base64Of(raw)
                                                                     : raw;
    return "Content-Type: text/" + std::string(subtype) + "; charset=\"" + t.charset +
           "\"\nContent-Transfer-Encoding: " + t.encoding + "\n\n" + body;
}

std::string htmlOf(const std::string& prose) {
    std::string html = "<html><head><meta charset=\"utf-8\"><style>p{margin:0}</style></head><body><div>";
    for (char c : prose) html += c == '\n' ? std::string("<br>\n") : std::string(1, c);
    return html + "</div><p>&nbsp;&mdash; sent from my desk</p></body></html>\n";
}

std::string attachment(std::mt19937& r, unsigned index, unsigned n) {
    const AttachmentKind& k = pick(r, kAttachments);
    std::string stem = "file" + std::to_string(index) + "-" + std::to_string(n);
    std::string part = "Content-Type: " + std::string(k.type) + "; name=\"" + stem + "." + k.extension + "\"\n";
    if (r() % 4 == 0) {  // a non-ASCII name, written the RFC 2231 way
        part += "Content-Disposition: attachment;\n filename*=utf-8''%C3%9Cbersicht%20" + stem + "." + k.extension + "\n";
    } else {
        part += "Content-Disposition: attachment; filename=\"" + stem + "." + k.extension + "\"\n";
    }
    return part + "Content-Transfer-Encoding: base64\n\n" + base64Lines(r, k.minBytes + r() % k.spreadBytes);
}

std::string boundary(const char* role, unsigned index, int depth) {
    return std::string("=_") + role + "_" + std::to_string(index) + "_" + std::to_string(depth);
}

// multipart/alternative of plain text and HTML, both in `t`'s charset or UTF-8.
std::string alternative(const CharsetText& t, const std::string& prose, unsigned index) {
    std::string b = boundary("alt", index, 2);
    return "Content-Type: multipart/alternative; boundary=\"" + b + "\"\n\n--" + b + "\n" +
           textPart(t, "plain", prose) + "\n--" + b + "\n" + textPart(kTexts[0], "html", htmlOf(prose)) + "\n--" + b +
           "--\n";
}

// multipart/mixed of `first` and `attachments` attachments.
std::string mixed(std::mt19937& r, const std::string& first, unsigned index, unsigned attachments) {
    std::string b = boundary("mix", index, 1);
    std::string m = "Content-Type: multipart/mixed; boundary=\"" + b + "\"\n\nThis is a multi-part message in MIME format.\n\n--" +
                    b + "\n" + first;
    for (unsigned n = 0; n < attachments; ++n) m += "\n--" + b + "\n" + attachment(r, index, n);
    return m + "\n--" + b + "--\n";
}

// multipart/related: an HTML body with inline images referred to by Content-ID.
std::string related(std::mt19937& r, const std::string& prose, unsigned index) {
    std::string b = boundary("rel", index, 2);
    unsigned images = 1 + r() % 3;
    std::string html = htmlOf(prose);
    for (unsigned n = 0; n < images; ++n) html += "<img src=\"cid:img" + std::to_string(n) + "@mix\">\n";
    std::string m = "Content-Type: multipart/related; boundary=\"" + b + "\"; type=\"text/html\"\n\n--" + b + "\n" +
                    textPart(kTexts[0], "html", html);
    for (unsigned n = 0; n < images; ++n) {
        m += "\n--" + b + "\nContent-Type: image/png\nContent-ID: <img" + std::to_string(n) +
             "@mix>\nContent-Disposition: inline\nContent-Transfer-Encoding: base64\n\n" + base64Lines(r, 400 + r() % 2500);
    }
    return m + "\n--" + b + "--\n";
}

std::string calendar(std::mt19937& r, unsigned index) {
    std::string b = boundary("cal", index, 2);
    return "Content-Type: multipart/alternative; boundary=\"" + b + "\"\n\n--" + b + "\n" +
           textPart(kTexts[2], "plain", paragraphText(r, 4)) + "\n--" + b +
           "\nContent-Type: text/calendar; charset=utf-8; method=REQUEST\n\nBEGIN:VCALENDAR\nMETHOD:REQUEST\n"
           "BEGIN:VEVENT\nUID:" + std::to_string(index) + "@mix\nDTSTART:20240312T090000Z\nSUMMARY:" + words(r, 4) +
           "\nEND:VEVENT\nEND:VCALENDAR\n\n--" + b + "--\n";
}

std::string headers(std::mt19937& r, unsigned index, unsigned seed, const std::string& subject) {
    long long date = 1672531200LL + static_cast<long long>(index) * 3000 + r() % 3000;
    std::string m;
    for (unsigned hop = 2 + r() % 3; hop > 0; --hop) {
        m += "Received: from relay" + std::to_string(hop) + ".example.net (relay" + std::to_string(hop) +
             ".example.net [192.0.2." + std::to_string(hop) + "])\n\tby mx.example.org with ESMTPS id " +
             std::to_string(index) + "." + std::to_string(hop) + ";\n\t" + dateText(date + hop) + "\n";
    }
    m += "DKIM-Signature: v=1; a=rsa-sha256; d=example.net; s=mail; h=from:to:subject:date;\n\tb=" +
         base64Lines(r, 180).substr(0, 200) + "\n";
    m += "Date: " + dateText(date) + "\nFrom: " + mailbox(r) + "\nTo: " + mailbox(r);
    for (unsigned i = r() % 6; i > 0; --i) m += ",\n " + mailbox(r);
    m += "\n";
    if (r() % 2 == 0) m += "Cc: " + mailbox(r) + ", " + mailbox(r) + "\n";
    m += "Subject: " + subject + "\nMessage-ID: <" + std::to_string(index) + "." + std::to_string(seed) + "@mix.example.org>\n";
    if (r() % 3 == 0) m += "In-Reply-To: <" + std::to_string(index / 2) + "." + std::to_string(seed) + "@mix.example.org>\n";
    if (r() % 5 == 0) m += "List-Id: <team.lists.example.org>\nList-Unsubscribe: <mailto:leave@lists.example.org>\n";
    if (r() % 8 == 0) m += "X-Priority: " + std::string(r() % 2 ? "1 (Highest)" : "5 (Lowest)") + "\n";
    if (r() % 12 == 0) m += "Importance: High\n";
    return m + "MIME-Version: 1.0\n";
}

}  // namespace

std::string realWorldMessage(unsigned index, unsigned seed) {
    std::mt19937 r(seed * 2246822519u + index);
    const CharsetText& t = pick(r, kTexts);
    std::string subject = words(r, 3 + static_cast<int>(r() % 6));
    if (r() % 3 == 0) subject = rfc2047(std::string(kTexts[r() % 2].bytes).substr(0, 20) + " " + subject);
    std::string m = headers(r, index, seed, subject);
    std::string prose = paragraphText(r, 4 + static_cast<int>(r() % 30));

    unsigned kind = r() % 20;
    if (kind < 6) {  // the office message: alternative body and several attachments
        m += mixed(r, alternative(t, prose, index), index, 1 + r() % 4);
    } else if (kind < 9) {  // newsletter style: HTML with inline images, sometimes attachments too
        std::string body = related(r, prose, index);
        m += r() % 2 ? mixed(r, body, index, 1 + r() % 2) : body;
    } else if (kind < 11) {  // a forwarded message with its own attachment
        std::string inner = headers(r, index + 1000000, seed, "Fwd: " + subject) +
                            mixed(r, textPart(t, "plain", paragraphText(r, 6)), index + 1000000, 1 + r() % 2);
        std::string b = boundary("fwd", index, 1);
        m += "Content-Type: multipart/mixed; boundary=\"" + b + "\"\n\n--" + b + "\n" + textPart(t, "plain", prose) +
             "\n--" + b + "\nContent-Type: message/rfc822\nContent-Disposition: inline\n\n" + inner + "\n--" + b + "--\n";
    } else if (kind < 12) {  // a meeting invitation
        m += mixed(r, calendar(r, index), index, r() % 2);
    } else if (kind < 14) {  // HTML only, base64 as some web mailers send it
        m += "Content-Type: text/html; charset=utf-8\nContent-Transfer-Encoding: base64\n\n" + base64Of(htmlOf(prose));
    } else {  // plain text in one of many charsets, a reply quoting the last message
        std::string quoted;
        for (unsigned i = 0; i < 6; ++i) quoted += "> " + words(r, 9) + "\n";
        m += textPart(t, "plain", prose + "\nOn Monday someone wrote:\n" + quoted);
    }
    return m;
}

}  // namespace vesk::bench
