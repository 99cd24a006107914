#include "extended/BodyStream.h"

#include <algorithm>
#include <cstring>

#include "extended/Com.h"

namespace vesk::mapi32::ex {
namespace {

constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80030005);  // STG_E_ACCESSDENIED

class ReadStream final : public ComObject<IStream> {
public:
    explicit ReadStream(std::string bytes) : ComObject({&IID_IStream}), m_bytes(std::move(bytes)) {}

    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
        if (pcbRead != nullptr) *pcbRead = 0;
        if (pv == nullptr && cb != 0) return MAPI_E_INVALID_PARAMETER;
        std::size_t left = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
        std::size_t n = std::min<std::size_t>(cb, left);
        if (n != 0) std::memcpy(pv, m_bytes.data() + m_position, n);
        m_position += n;
        if (pcbRead != nullptr) *pcbRead = static_cast<ULONG>(n);
        // Fewer bytes than asked for is the end of the stream, not a failure.
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG* pcbWritten) override {
        if (pcbWritten != nullptr) *pcbWritten = 0;
        return kAccessDenied;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
        std::int64_t base = dwOrigin == STREAM_SEEK_SET   ? 0
                            : dwOrigin == STREAM_SEEK_CUR ? static_cast<std::int64_t>(m_position)
                            : dwOrigin == STREAM_SEEK_END ? static_cast<std::int64_t>(m_bytes.size())
                                                          : -1;
        if (base < 0) return STG_E_INVALIDFUNCTION;
        std::int64_t target = base + dlibMove.QuadPart;
        if (target < 0) return STG_E_INVALIDFUNCTION;
        m_position = static_cast<std::size_t>(target);
        if (plibNewPosition != nullptr) plibNewPosition->QuadPart = static_cast<std::uint64_t>(target);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return kAccessDenied; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD) override {
        if (pstatstg == nullptr) return MAPI_E_INVALID_PARAMETER;
        // No name is ever handed out, whatever the flag: there is no allocator a caller
        // could free it with.
        std::memset(pstatstg, 0, sizeof *pstatstg);
        pstatstg->type = STGTY_STREAM;
        pstatstg->cbSize.QuadPart = m_bytes.size();
        pstatstg->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
        if (ppstm == nullptr) return MAPI_E_INVALID_PARAMETER;
        return guardedCall([&]() -> HRESULT {
            auto* copy = new ReadStream(m_bytes);
            copy->m_position = m_position;
            *ppstm = copy;
            return S_OK;
        });
    }

private:
    std::string m_bytes;
    std::size_t m_position = 0;
};

}  // namespace

IStream* makeReadStream(std::string bytes) { return new ReadStream(std::move(bytes)); }

}  // namespace vesk::mapi32::ex
