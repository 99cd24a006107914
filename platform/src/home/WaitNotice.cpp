#include "platform/WaitNotice.h"

namespace vesk {
namespace {

WaitHook g_hook = nullptr;
void* g_context = nullptr;

}  // namespace

void setWaitHook(WaitHook hook, void* context) {
    g_hook = hook;
    g_context = context;
}

void noteWait(const char* what, int seconds) {
    if (g_hook != nullptr) g_hook(what != nullptr ? what : "", seconds, g_context);
}

}  // namespace vesk
