// The records that cross the host boundary, laid out byte for byte as the
// host reads and writes them (32-bit, little-endian).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantor {

struct HostServices;

// One argument or result value of the host.
struct ValueCell {
    std::uint8_t hostHeader[24];  // the host's; cells we build are zeroed
    std::int32_t intValue;
    std::int32_t kind;
    const char* strValue;
    std::uint8_t hostTrailer[4];  // the host's
};

enum CellKind : std::int32_t {
    kIntegerCell = 1,
    kStringCell = 2,
    kHostValueCell = 256,  // set on the result cell of evProcessEvents
};

// Takes delivery of a result: status 0 normal, -1 error (text in the cell).
using ResultCallback = std::int32_t(__stdcall*)(std::int32_t status, std::uint32_t hostContext, HostServices* services,
                                                ValueCell* result);

// Services of the host; the function pointers are caller-pops.
using DefineVariableFn = std::int32_t(__cdecl*)(void* hostData, const char* name, ValueCell* value,
                                                std::int32_t cellSize, std::int32_t flags);
using ShowMessageFn = std::int32_t(__cdecl*)(void* hostData, const char* text);
using VariableOperationFn = std::int32_t(__cdecl*)(void* hostData, ValueCell* target, std::int32_t targetSize,
                                                   void* unused1, std::int32_t unused2, ValueCell* key,
                                                   std::int32_t keySize, ValueCell* value, std::int32_t valueSize,
                                                   std::int32_t opcode);

enum VariableOpcode : std::int32_t {
    kFillHostValue = 3,   // fills the target cell with a new host value
    kAssignVariable = 7,  // stores the value cell under the key cell's name
};

struct HostServices {
    std::uint8_t reserved0[8];
    std::uint32_t hostVersion;
    std::uint8_t reserved12[8];
    void* hostData;
    std::uint8_t reserved24[8];
    DefineVariableFn defineVariable;
    std::uint8_t reserved36[8];
    ShowMessageFn showMessage;
    std::uint8_t reserved48[20];
    VariableOperationFn variableOperation;
};

// Description of one table entry, filled for Dispatch index -2.
struct QueryRecord {
    std::int32_t entry;
    std::int32_t kind;        // 2 function, 3 constant
    std::uint32_t typesLow;   // argument positions 1 to 8, 4 bits each
    std::uint32_t typesHigh;  // positions 9 to 16
    union {
        struct {
            std::uint8_t required;
            std::uint8_t optional;
            std::uint16_t zero;
        } counts;
        std::int32_t value;  // constants
    };
    std::int16_t nameLength;
    char name[20];  // NUL-terminated, lower case; the longest name has 19 characters
};

enum EntryKind : std::int32_t { kFunctionEntry = 2, kConstantEntry = 3 };

static_assert(sizeof(void*) == 4, "the host interface is 32-bit");
static_assert(sizeof(ValueCell) == 40);
static_assert(offsetof(ValueCell, intValue) == 24);
static_assert(offsetof(ValueCell, kind) == 28);
static_assert(offsetof(ValueCell, strValue) == 32);
static_assert(offsetof(HostServices, hostVersion) == 8);
static_assert(offsetof(HostServices, hostData) == 20);
static_assert(offsetof(HostServices, defineVariable) == 32);
static_assert(offsetof(HostServices, showMessage) == 44);
static_assert(offsetof(HostServices, variableOperation) == 68);
static_assert(sizeof(HostServices) == 72);
static_assert(offsetof(QueryRecord, kind) == 4);
static_assert(offsetof(QueryRecord, typesLow) == 8);
static_assert(offsetof(QueryRecord, typesHigh) == 12);
static_assert(offsetof(QueryRecord, counts) == 16);
static_assert(offsetof(QueryRecord, value) == 16);
static_assert(offsetof(QueryRecord, nameLength) == 20);
static_assert(offsetof(QueryRecord, name) == 22);

}  // namespace vantor
