#include "Html.h"

#include <gtest/gtest.h>

namespace vesk::store::detail {
namespace {

struct Case {
    const char* comment;
    const char* html;
    const char* text;
};

TEST(HtmlTest, RendersReadableText) {
    const Case cases[] = {
        {"white space collapses", "<p>a   b\n\tc</p>", "a b c"},
        {"paragraphs apart by an empty line", "<p>one</p><p>two</p>", "one\n\ntwo"},
        {"div and br start lines", "<div>a</div><div>b<br>c</div>", "a\nb\nc"},
        {"two br give an empty line", "a<br><br>b", "a\n\nb"},
        {"list items", "<ul><li>x</li><li>y</li></ul>", "- x\n- y"},
        {"table cells", "<table><tr><th>k</th><td>v</td></tr></table>", "k\tv"},
        {"pre keeps its lines", "<pre>a  b\n  c</pre>", "a  b\n  c"},
        {"head, script and style dropped", "<html><head><title>T</title><style>x{}</style></head>"
                                           "<body><script>var a;</script>body</body></html>", "body"},
        {"entities", "<p>&lt;tag&gt; &amp; &euro;&#8211;&quot;</p>", "<tag> & \xE2\x82\xAC\xE2\x80\x93\""},
        {"image alt text", "see <img src=x alt=\"logo\"> here", "see [logo] here"},
        {"broken markup recovered", "<p>open <b>bold <i>both</p>after", "open bold both\n\nafter"},
        {"no markup at all", "just text", "just text"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comment);
        EXPECT_EQ(htmlToText(c.html), c.text);
    }
}

}  // namespace
}  // namespace vesk::store::detail
