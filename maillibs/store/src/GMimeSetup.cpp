#include "GMimeSetup.h"

#include <mutex>

namespace vesk::store::detail {

void ensureGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

GMimeParserOptions* parserOptions() {
    static GMimeParserOptions* options = [] {
        ensureGMime();
        GMimeParserOptions* o = g_mime_parser_options_new();
        const char* fallback[] = {"utf-8", "windows-1252", nullptr};
        g_mime_parser_options_set_fallback_charsets(o, fallback);
        g_mime_parser_options_set_rfc2047_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_address_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_parameter_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        return o;
    }();
    return options;
}

GRef<GMimeMessage> parseBytes(const char* data, std::size_t size) {
    // No bytes hold no message; GMime's memory stream refuses a null buffer with a warning.
    if (size == 0) return nullptr;
    GMimeParserOptions* options = parserOptions();
    GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(data, size));
    GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
    return GRef<GMimeMessage>(g_mime_parser_construct_message(parser.get(), options));
}

namespace {

std::string drain(GMimeStream* mem) {
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(mem));
    return std::string(reinterpret_cast<const char*>(bytes->data), bytes->len);
}

}  // namespace

std::string partContent(GMimePart* part) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content) return {};
    GRef<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(content, out.get());
    return drain(out.get());
}

std::string objectBytes(GMimeObject* object) {
    GRef<GMimeStream> out(g_mime_stream_mem_new());
    g_mime_object_write_to_stream(object, nullptr, out.get());
    return drain(out.get());
}

}  // namespace vesk::store::detail
