// Links into a floor program the C++ runtime that the order form's start needs: a
// new-handler that throws, operator new, and a class thrown and caught by value.
#include <new>

namespace {

struct FloorException {
    unsigned long code;
};

void ThrowOnOutOfMemory()
{
    throw FloorException{ 1 };
}

// Volatile, so that neither the allocation nor the handler can be proved unused.
char *volatile g_allocation;
volatile unsigned long g_caughtCode;

struct UsesExceptionRuntime {
    UsesExceptionRuntime()
    {
        std::set_new_handler(ThrowOnOutOfMemory);
        try {
            g_allocation = new char[16];
        } catch (const FloorException &exception) {
            g_caughtCode = exception.code;
        }
        delete[] g_allocation;
    }
} usesExceptionRuntime;

}  // namespace
