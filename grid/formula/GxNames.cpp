#include "grid/formula/GxNames.h"

#include "grid/formula/GxGuard.h"
#include "grid/formula/GxMemory.h"
#include "grid/formula/GxSheet.h"

#include <cctype>
#include <cstring>
#include <strings.h>
#include <vector>

int _gx_is_name_char(int ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) || ch == '.' || ch == '_' || ch == '$';
}

int _gx_is_valid_name(const char* text) {
    if (!text || !(std::isalpha(static_cast<unsigned char>(*text)) || *text == '_' || *text == '$')) return 0;
    for (const char* p = text + 1; *p; ++p)
        if (!_gx_is_name_char(static_cast<unsigned char>(*p))) return 0;
    return 1;
}

// A name is kept with its first 31 characters (defineName): a longer one given to look a name up (to read,
// use, delete or redefine it) means the name of those characters.
GX_NAMED_RANGE* _gx_find_name(int sheet, const char* name, GX_RANGE* range) {
    if (!name) return nullptr;
    char cut[32];
    std::strncpy(cut, name, 31);
    cut[31] = '\0';
    for (GX_NAMED_RANGE* r = _gx_sheet_get(sheet)->names; r; r = r->next)
        if (strcasecmp(r->name, cut) == 0) {
            if (range) *range = r->range;
            return r;
        }
    return nullptr;
}

namespace {

int defineName(int sheet, const char* name, const GX_RANGE* range) {
    if (!name) return 0;
    char cut[32];
    std::strncpy(cut, name, 31);
    cut[31] = '\0';
    if (!_gx_is_valid_name(cut)) return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    if (GX_NAMED_RANGE* r = _gx_find_name(sheet, cut, nullptr)) {
        r->range = *range;
    } else {
        auto* rec = static_cast<GX_NAMED_RANGE*>(_gx_alloc(sizeof(GX_NAMED_RANGE)));
        try {
            rec->name = _gx_string_dup(cut);
        } catch (...) {
            _gx_free(rec);
            throw;
        }
        rec->range = *range;
        GX_NAMED_RANGE** link = &sh->names;
        while (*link) link = &(*link)->next;
        *link = rec;
    }
    sh->modified = 1;
    return 1;
}

int deleteName(int sheet, const char* name) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_NAMED_RANGE* rec = _gx_find_name(sheet, name, nullptr);
    if (!rec) return 0;
    // Formulas that use the name get the plain reference it stood for. Undo copies are made first, so that a
    // failure to make one changes nothing.
    std::vector<GX_CELL*> users;
    GX_LIST_ITER it;
    _gx_list_iter_init(&sh->lists[1], &it);
    while (GX_CELL* c = _gx_list_iter_next(&it)) {
        if (!c->entered() || !c->expr || !c->expr->nodes) continue;
        for (int i = 0; i < c->expr->nodeCount; ++i) {
            const GX_EXPR_NODE& n = c->expr->nodes[i];
            if ((n.kind == GX_NODE_NAMEDCELL || n.kind == GX_NODE_NAMEDRANGE) && n.p.name == rec) {
                users.push_back(c);
                break;
            }
        }
    }
    if (sh->undoRecording) {
        std::vector<GX_CELL*> copies;
        try {
            for (GX_CELL* c : users) copies.push_back(_gx_cell_clone(c));
        } catch (...) {
            for (GX_CELL* c : copies) _gx_cell_free(c);
            throw;
        }
        for (GX_CELL* c : copies) _gx_push_undo_cell(sheet, c);
    }
    for (GX_CELL* c : users) {
        for (int i = 0; i < c->expr->nodeCount; ++i) {
            GX_EXPR_NODE& n = c->expr->nodes[i];
            if ((n.kind == GX_NODE_NAMEDCELL || n.kind == GX_NODE_NAMEDRANGE) && n.p.name == rec) {
                n.kind = n.kind == GX_NODE_NAMEDCELL ? GX_NODE_CELL : GX_NODE_RANGE;
                n.p.range = rec->range;
            }
        }
        sh->modified = 1;
    }
    GX_NAMED_RANGE** link = &sh->names;
    while (*link != rec) link = &(*link)->next;
    *link = rec->next;
    rec->next = nullptr;
    if (sh->undoRecording) {
        // Kept on a list, newest first: a second deletion while recording must not lose the first.
        rec->next = sh->deletedNames;
        sh->deletedNames = rec;
    } else {
        _gx_free(rec->name);
        _gx_free(rec);
    }
    sh->modified = 1;
    return 1;
}

} // namespace

int _gx_define_name(int sheet, const char* name, const GX_RANGE* range) {
    return gxOutOfMemoryGuard([&] { return defineName(sheet, name, range); });
}

int _gx_delete_name(int sheet, const char* name) {
    return gxOutOfMemoryGuard([&] { return deleteName(sheet, name); });
}

GX_NAMED_RANGE* _gx_pop_deleted_name(int sheet) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    GX_NAMED_RANGE* rec = sh->deletedNames;
    if (rec) {
        sh->deletedNames = rec->next;
        rec->next = nullptr;
    }
    return rec;
}

int _gx_push_name(int sheet, GX_NAMED_RANGE* record) {
    if (!record) return 0;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    record->next = sh->names;
    sh->names = record;
    sh->modified = 1;
    return 1;
}

void _gx_free_names(int sheet) {
    GX_SHEET* sh = _gx_sheet_get(sheet);
    for (GX_NAMED_RANGE** list : {&sh->names, &sh->deletedNames}) {
        while (GX_NAMED_RANGE* r = *list) {
            *list = r->next;
            _gx_free(r->name);
            _gx_free(r);
        }
    }
}

void _gx_push_undo_cell(int sheet, GX_CELL* cell) {
    if (!cell) return;
    GX_SHEET* sh = _gx_sheet_get(sheet);
    cell->next = sh->undoChain;
    sh->undoChain = cell;
}

void _gx_request_report(int sheet) { _gx_sheet_get(sheet)->reportPending = 1; }
