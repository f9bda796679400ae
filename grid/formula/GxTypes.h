// The formula engine's shared record types: references, compiled expressions, evaluation items and values,
// cell records and sheet contexts. The engine is procedural code addressed by a 1-based sheet number; these
// records are what its functions pass around. Only the C++ standard library is used.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint16_t GX_NO_NODE = 65535;
constexpr int32_t GX_MAX_ROW = 8388607; // rows count from 1
constexpr int32_t GX_MAX_COL = 4095;    // columns count from 0
constexpr int GX_MAX_NODES = 200;       // nodes of one compiled formula
constexpr int GX_MAX_ARGS = 100;        // arguments of one call
constexpr int GX_MAX_TEXT = 511;        // characters of a string constant in a formula

// ---------------------------------------------------------------------------------------------------------
// GX_RANGE: three words. Word 0 bits 0-23 top row; word 1 bits 0-23 bottom row; word 2 bits 0-12 left column,
// 13 first row absolute, 14 first column absolute, 15-27 right column, 28 last row absolute, 29 last column
// absolute, 30 single cell. Setters touch only their own bit field.
struct GX_RANGE {
    uint32_t w0 = 0, w1 = 0, w2 = 0;

    static constexpr uint32_t kRowMask = 0xFFFFFFu;
    static constexpr uint32_t kColMask = 0x1FFFu;
    static constexpr uint32_t kFirstRowAbs = 1u << 13;
    static constexpr uint32_t kFirstColAbs = 1u << 14;
    static constexpr uint32_t kLastRowAbs = 1u << 28;
    static constexpr uint32_t kLastColAbs = 1u << 29;
    static constexpr uint32_t kSingle = 1u << 30;

    int32_t top() const { return int32_t(w0 & kRowMask); }
    int32_t bottom() const { return int32_t(w1 & kRowMask); }
    int32_t left() const { return int32_t(w2 & kColMask); }
    int32_t right() const { return int32_t((w2 >> 15) & kColMask); }
    void setTop(uint32_t v) { w0 = (w0 & ~kRowMask) | (v & kRowMask); }
    void setBottom(uint32_t v) { w1 = (w1 & ~kRowMask) | (v & kRowMask); }
    void setLeft(uint32_t v) { w2 = (w2 & ~kColMask) | (v & kColMask); }
    void setRight(uint32_t v) { w2 = (w2 & ~(kColMask << 15)) | ((v & kColMask) << 15); }
    bool has(uint32_t bit) const { return (w2 & bit) != 0; }
    void set(uint32_t bit, bool on) { w2 = on ? (w2 | bit) : (w2 & ~bit); }
    bool single() const { return has(kSingle); }
    // Number of cells, in 64 bits: a whole-sheet range holds more than 2^31 of them.
    int64_t area() const {
        return (int64_t(bottom()) - top() + 1) * (int64_t(right()) - left() + 1);
    }
    bool contains(int32_t row, int32_t col) const {
        return row >= top() && row <= bottom() && col >= left() && col <= right();
    }
};

// ---------------------------------------------------------------------------------------------------------
// Compiled expressions.
enum : uint8_t {
    GX_NODE_OPERATOR = 0,
    GX_NODE_NUMBER = 1,
    GX_NODE_STRING = 2,
    GX_NODE_CELL = 3,
    GX_NODE_RANGE = 4,
    GX_NODE_NAMETEXT = 5,
    GX_NODE_NAMEDCELL = 6,
    GX_NODE_NAMEDRANGE = 7,
    GX_NODE_CALL = 8,
    GX_NODE_ARG = 9,
    GX_NODE_OFFSET = 10,
    GX_NODE_BRANCH = 11,
};

enum : uint8_t {
    GX_NF_PAREN = 0x01,
    GX_NF_HEX = 0x02,
    GX_NF_LAZY = 0x04,
    GX_NF_SKIP = 0x10, // second argument of XVALUE: not a precedent
};

enum GX_OPERATOR : uint32_t {
    GX_OP_ADD = 0, GX_OP_SUB, GX_OP_PLUS, GX_OP_NEG, GX_OP_MUL, GX_OP_DIV, GX_OP_POW, GX_OP_MOD,
    GX_OP_AND, GX_OP_OR, GX_OP_NOT, GX_OP_BITAND, GX_OP_BITOR, GX_OP_XOR, GX_OP_BITNOT, GX_OP_SHL,
    GX_OP_SHR, GX_OP_EQ, GX_OP_NE, GX_OP_LT, GX_OP_GT, GX_OP_LE, GX_OP_GE, GX_OP_COND, GX_OP_RANGE,
    GX_OP_PERCENT, GX_OP_ERROR,
    GX_OP_COUNT
};

struct GX_NAMED_RANGE;
struct GX_FUNCTION_DESC;

struct GX_EXPR_NODE {
    uint8_t kind = 0;
    uint8_t flags = 0;
    uint16_t spare = 0;
    uint16_t a = GX_NO_NODE;
    uint16_t b = GX_NO_NODE;
    union Payload {
        uint32_t op;
        double number;
        char* text;
        GX_RANGE range;
        GX_NAMED_RANGE* name;
        const GX_FUNCTION_DESC* func;
        struct { uint16_t prev; uint16_t type; } link;
        struct { uint16_t rowExpr; uint16_t colExpr; } offset;
        uint16_t owner;
        uint8_t raw[16];
    } p{};
};

struct GX_EXPR {
    uint16_t root = GX_NO_NODE;
    uint16_t constraintRoot = GX_NO_NODE;
    uint16_t dependsRoot = GX_NO_NODE;
    uint16_t nodeCount = 0;
    GX_EXPR_NODE* nodes = nullptr;
    char* comment = nullptr;
};

// ---------------------------------------------------------------------------------------------------------
// Evaluation items and values.
enum : int32_t {
    GX_ITEM_NUMBER = 0,
    GX_ITEM_TEXT = 1,
    GX_ITEM_RANGE = 2,
    GX_ITEM_CELLREF = 3,
    GX_ITEM_LAZY = 4,
    GX_ITEM_EMPTY = 5,
    GX_ITEM_ERROR = 6,
    GX_ITEM_HEADER = 7, // first entry of an argument frame
};

struct GX_ITEM {
    int32_t kind = GX_ITEM_EMPTY;
    union {
        double number;
        char* text; // tracked, owned by the item
        GX_RANGE range;
        struct { const GX_EXPR_NODE* nodes; uint16_t index; } lazy;
        struct { int32_t code; const char* detail; } error;
        struct { int32_t unused0; int32_t unused1; int32_t count; } header;
    };
    GX_ITEM() : range() {}
};

enum : int32_t {
    GX_VAL_NONE = 0,
    GX_VAL_EMPTY = 1,
    GX_VAL_ERROR = 2,
    GX_VAL_NUMBER = 3,
    GX_VAL_TEXT = 4,   // held by pointer
    GX_VAL_INLINE = 5, // held in place (cells only)
};

struct GX_VALUE {
    int32_t type = GX_VAL_NONE;
    union {
        double number;
        char* text;
        struct { int32_t code; const char* detail; } error;
    };
    GX_VALUE() : error{0, nullptr} {}
};

// ---------------------------------------------------------------------------------------------------------
// Functions: the engine holds no function table; a caller installs a lookup object (GxEngineState.h).
struct GX_PARAM_DESC {
    uint16_t value = 3;  // expected type: 0, 1 and 2 ask for a number
    uint16_t unused = 0;
    uint32_t flags = 0;  // bit 0 lazy; bits 1-2 form: 0 required, 1 optional, 2 repeating
};
enum : uint32_t { GX_PARAM_LAZY = 1, GX_PARAM_OPTIONAL = 1u << 1, GX_PARAM_REPEATING = 2u << 1 };

// A routine computes a call: frame[0] is the header (frame[0].header.count arguments), frame[1..] the
// arguments. It fills and returns the result item and may raise errors with _gx_raise_error.
using GX_FUNCTION_ROUTINE = GX_ITEM* (*)(GX_ITEM* result, GX_ITEM* frame);

struct GX_FUNCTION_DESC {
    const char* name = nullptr; // upper case
    GX_FUNCTION_ROUTINE routine = nullptr;
    uint32_t noCall = 0;        // nonzero: the routine is not called (the call gives error 166)
    int16_t paramCount = 0;
    const GX_PARAM_DESC* params = nullptr;
};

// ---------------------------------------------------------------------------------------------------------
// Cells.

// A cell's style, owned by the cell and opaque to the engine: it is cloned when a cell is duplicated and
// destroyed with the cell.
struct GX_CELL_STYLE {
    virtual ~GX_CELL_STYLE() = default;
    virtual GX_CELL_STYLE* Clone() const = 0;
};

enum : int32_t {
    GX_KIND_PLACEHOLDER = 0,
    GX_KIND_NUMBER = 1,
    GX_KIND_TEXT = 2,
    GX_KIND_FORMULA = 3,      // depends on other cells: the formula list
    GX_KIND_CONSTFORMULA = 4, // depends on none: computed once when entered
};

enum : uint32_t {
    GX_CF_KIND_MASK = 0x0Fu,
    GX_CF_TYPE_SHIFT = 4,
    GX_CF_TYPE_MASK = 0xF0u,
    GX_CF_ENTERED = 1u << 8,
    GX_CF_SLOT_SHIFT = 9,
    GX_CF_SLOT_MASK = 0x3Fu << 9,
    GX_CF_DIRTY = 1u << 15,
    GX_CF_VISITED = 1u << 16,
    GX_CF_ACTIVE = 1u << 17,
    GX_CF_CHANGED = 1u << 18,
    GX_CF_CYCLE = 1u << 19,
    GX_CF_VIOLATED = 1u << 20,
};

struct GX_CELL {
    GX_CELL* next = nullptr;
    int32_t row = 0;
    int32_t col = 0;
    uint32_t user = 0; // left to the store's users
    union Value {
        double number;
        char* text;   // type 4: tracked, zero-terminated, of any length
        char inl[8];  // type 5: padded with NULs, no terminator at 8 characters
        struct { int32_t code; const char* detail; } error;
    } value{};
    GX_EXPR* expr = nullptr;
    uint32_t stamp = 0;
    uint32_t flags = 0;
    GX_CELL_STYLE* style = nullptr;

    int32_t kind() const { return int32_t(flags & GX_CF_KIND_MASK); }
    int32_t valueType() const { return int32_t((flags & GX_CF_TYPE_MASK) >> GX_CF_TYPE_SHIFT); }
    void setKind(int32_t k) { flags = (flags & ~GX_CF_KIND_MASK) | (uint32_t(k) & GX_CF_KIND_MASK); }
    void setValueType(int32_t t) {
        flags = (flags & ~GX_CF_TYPE_MASK) | ((uint32_t(t) << GX_CF_TYPE_SHIFT) & GX_CF_TYPE_MASK);
    }
    int slot() const { return int((flags & GX_CF_SLOT_MASK) >> GX_CF_SLOT_SHIFT); }
    bool entered() const { return (flags & GX_CF_ENTERED) != 0; }
};

struct GX_CELL_LIST;

struct GX_CELL_BLOCK {
    uint32_t used = 0;  // bit i: slot i in use
    uint32_t reuse = 0; // set in deferred mode when a formula record was released here
    GX_CELL_BLOCK* next = nullptr;
    GX_CELL_BLOCK* prev = nullptr;
    GX_CELL_LIST* list = nullptr;
    GX_CELL cells[32];
};

struct GX_CELL_LIST {
    GX_CELL_BLOCK* head = nullptr;
    GX_CELL_BLOCK* tail = nullptr;
    int32_t count = 0;
    int32_t deferred = 0;
    int32_t tidy = 0;
};

enum : uint32_t { GX_LIST_VALUE = 1, GX_LIST_FORMULA = 2, GX_LIST_PLACEHOLDER = 4, GX_LIST_ALL = 7 };

struct GX_RANGE_REC {
    GX_RANGE_REC* next = nullptr;
    GX_RANGE range;
};

struct GX_NAMED_RANGE {
    GX_NAMED_RANGE* next = nullptr;
    char* name = nullptr; // 31 characters at most
    GX_RANGE range;
};

constexpr uint32_t GX_BUCKETS = 32749;

class CGXFormulaSheet;

struct GX_SHEET {
    GX_CELL* buckets[GX_BUCKETS];
    GX_CELL_LIST lists[3]; // value, formula, placeholder
    int32_t manualRecalc;
    int32_t recalcMethod;
    int32_t constraintCheck;
    int32_t iterationLimit;
    int32_t blanksZero;
    int32_t cellCount;
    int32_t modified;
    uint32_t recalcGeneration;
    int32_t* rowCounts;
    int32_t rowCap;
    int32_t* colCounts;
    int32_t colCap;
    GX_RANGE extent;
    int32_t extentValid;
    GX_RANGE_REC* changedRanges;
    int32_t cyclePending;
    int32_t reportPending;
    char messageBuffer[256];
    int32_t undoRecording;
    GX_CELL* undoChain;
    GX_NAMED_RANGE* names;
    // Names deleted while recording undo, newest first (a list, so that a second deletion keeps the first).
    GX_NAMED_RANGE* deletedNames;
    GX_RANGE undoRange;
    int32_t pendingClear;
    CGXFormulaSheet* owner;
};

struct GX_RANGE_ITER {
    int32_t sheet = 0;
    GX_RANGE range;
    uint32_t mask = 0;
    int mode = 0; // 0 probe, 1 list, 2 done
    int32_t row = 0, col = 0;
    int listIndex = 0;
    GX_CELL_BLOCK* block = nullptr;
    int slot = 0;
};

struct GX_LIST_ITER {
    GX_CELL_LIST* list = nullptr;
    GX_CELL_BLOCK* block = nullptr;
    int slot = 0;
};
