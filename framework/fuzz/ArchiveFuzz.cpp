// The record archive reader: objects behind class tags read until the bytes end or a read
// fails, and every object that reads is written again and must read back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "framework/Archive.h"
#include "framework/Id.h"
#include "framework/Msg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CArchive in(data, size);
    for (int i = 0; i < 64 && in.Remaining() > 0; ++i) {
        bool ok = false;
        std::unique_ptr<CObject> object(in.ReadObject(&ok));
        if (!ok) break;
        if (!object) continue;
        CArchive out;
        out.WriteObject(object.get());
        CArchive again(out.Bytes().data(), out.Bytes().size());
        bool ok2 = false;
        std::unique_ptr<CObject> copy(again.ReadObject(&ok2));
        if (!ok2 || !copy || copy->GetRuntimeClass() != object->GetRuntimeClass()) std::abort();
        CArchive out2;
        out2.WriteObject(copy.get());
        if (out2.Bytes() != out.Bytes()) std::abort();
    }
    // The same bytes as one bare CMsg, the way a record is read without its class tag.
    CArchive bare(data, size);
    CMsg msg;
    (void)msg.Serialize(bare);
    return 0;
}
