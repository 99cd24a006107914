#include "Html.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>

namespace vesk::store::detail {
namespace {

bool nameIs(const xmlNode* node, std::initializer_list<const char*> names) {
    for (const char* n : names) {
        if (xmlStrcasecmp(node->name, reinterpret_cast<const xmlChar*>(n)) == 0) return true;
    }
    return false;
}

class TextWriter {
public:
    void text(const char* s, bool preformatted) {
        for (; *s; ++s) {
            char c = *s;
            if (preformatted) {
                if (c == '\r') continue;
                if (c == '\n') { hardBreak(); continue; }
                put(c);
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                if (!atLineStart()) m_space = true;
                continue;
            }
            if (m_space && m_pendingLines == 0) m_out += ' ';
            put(c);
        }
    }
    /// Asks for the text that follows to start `lines` line ends after the current text
    /// (1: a new line, 2: after an empty line). Nothing is asked at the very start.
    void block(int lines) {
        m_space = false;
        if (!m_out.empty() && lines > m_pendingLines) m_pendingLines = lines;
    }
    void hardBreak() {
        flushPending();
        m_out += '\n';
        m_space = false;
    }
    void cellSeparator() {
        if (atLineStart()) return;
        m_out += '\t';
        m_space = false;
    }
    void prefix(const char* s) {
        for (; *s; ++s) put(*s);
    }
    std::string finish() {
        while (!m_out.empty() && (m_out.back() == '\n' || m_out.back() == ' ' || m_out.back() == '\t'))
            m_out.pop_back();
        return std::move(m_out);
    }

private:
    bool atLineStart() const { return m_out.empty() || m_out.back() == '\n' || m_pendingLines > 0; }
    void put(char c) {
        flushPending();
        m_out += c;
        m_space = false;
    }
    void flushPending() {
        if (m_pendingLines == 0) return;
        // Line ends written by <br> count towards the ones a block asks for. Only as many as
        // are asked for are counted: a run of thousands of <br> is not walked again each time.
        int have = 0;
        for (auto it = m_out.rbegin(); it != m_out.rend() && *it == '\n' && have < m_pendingLines; ++it) ++have;
        int want = m_pendingLines - have;
        for (int i = 0; i < want; ++i) m_out += '\n';
        m_pendingLines = 0;
        m_space = false;
    }

    std::string m_out;
    int m_pendingLines = 0;
    bool m_space = false;
};

void render(const xmlNode* node, TextWriter& w, bool pre) {
    for (; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            if (node->content) w.text(reinterpret_cast<const char*>(node->content), pre);
            continue;
        }
        if (node->type != XML_ELEMENT_NODE) continue;
        if (nameIs(node, {"head", "script", "style", "title", "noscript", "template"})) continue;
        if (nameIs(node, {"br"})) { w.hardBreak(); continue; }
        if (nameIs(node, {"hr"})) { w.block(1); w.prefix("----------"); w.block(1); continue; }
        if (nameIs(node, {"img"})) {
            xmlChar* alt = xmlGetProp(node, reinterpret_cast<const xmlChar*>("alt"));
            if (alt && *alt) {
                w.text("[", false);
                w.text(reinterpret_cast<const char*>(alt), false);
                w.text("]", false);
            }
            xmlFree(alt);
            continue;
        }
        bool paragraph = nameIs(node, {"p", "h1", "h2", "h3", "h4", "h5", "h6", "pre",
                                       "blockquote", "table", "ul", "ol", "dl"});
        bool line = paragraph || nameIs(node, {"div", "li", "tr", "dt", "dd", "section",
                                               "article", "header", "footer", "address",
                                               "form", "center", "nav", "aside", "main",
                                               "figure", "caption", "body", "html"});
        if (line) w.block(paragraph ? 2 : 1);
        if (nameIs(node, {"li"})) w.prefix("- ");
        if (nameIs(node, {"td", "th"})) w.cellSeparator();
        render(node->children, w, pre || nameIs(node, {"pre"}));
        if (line) w.block(paragraph ? 2 : 1);
    }
}

}  // namespace

std::string htmlToText(std::string_view html) {
    if (html.empty()) return {};
    htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                                    HTML_PARSE_RECOVER | HTML_PARSE_NOERROR |
                                        HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (!doc) return {};
    TextWriter w;
    render(xmlDocGetRootElement(doc), w, false);
    xmlFreeDoc(doc);
    return w.finish();
}

}  // namespace vesk::store::detail
