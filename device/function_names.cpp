#include "device/function_names.h"

// The function texts come from the language table, which is not wired in yet:
// until then every function has an empty text, as with no language file loaded.
std::u16string FunctionCodeName(FunctionId) {
    return std::u16string();
}
