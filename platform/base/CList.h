// CList<TYPE, ARG_TYPE>: the classic doubly linked list with POSITION iteration.
//
// A POSITION is a node of this list; passing a null POSITION, or one of another list, throws
// CInvalidArgException (the classic class would crash), as do GetHead/GetTail/RemoveHead/RemoveTail on an
// empty list. InsertBefore(null) adds at the head and InsertAfter(null) at the tail, as classically.
// The block size of the classic constructor is accepted and has no effect on behaviour.
#pragma once

#include <cstddef>
#include <type_traits>

#include "platform/base/CArchive.h"
#include "platform/base/CException.h"
#include "platform/base/CObject.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
  struct Node {
    Node* next;
    Node* prev;
    const CList* owner;
    TYPE data;
  };

 public:
  explicit CList(INT_PTR /*blockSize*/ = 10) {}
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return count_; }
  INT_PTR GetSize() const { return count_; }
  BOOL IsEmpty() const { return count_ == 0; }

  TYPE& GetHead() { return NonEmpty(head_)->data; }
  const TYPE& GetHead() const { return NonEmpty(head_)->data; }
  TYPE& GetTail() { return NonEmpty(tail_)->data; }
  const TYPE& GetTail() const { return NonEmpty(tail_)->data; }

  TYPE RemoveHead() {
    Node* n = NonEmpty(head_);
    TYPE v(n->data);
    Unlink(n);
    return v;
  }
  TYPE RemoveTail() {
    Node* n = NonEmpty(tail_);
    TYPE v(n->data);
    Unlink(n);
    return v;
  }

  POSITION AddHead(ARG_TYPE v) { return ToPos(LinkBefore(head_, v)); }
  POSITION AddTail(ARG_TYPE v) { return ToPos(LinkAfter(tail_, v)); }
  // A null element of a pointer list (a bare nullptr would also fit the list overloads).
  POSITION AddHead(std::nullptr_t)
    requires std::is_pointer_v<TYPE>
  {
    return AddHead(static_cast<TYPE>(nullptr));
  }
  POSITION AddTail(std::nullptr_t)
    requires std::is_pointer_v<TYPE>
  {
    return AddTail(static_cast<TYPE>(nullptr));
  }
  // Copies of another list's elements, kept in their order.
  void AddHead(const CList* other) {
    if (!other) AfxThrowInvalidArgException();
    const INT_PTR count = other->count_;  // adding a list to itself copies it once
    Node* n = other->tail_;
    for (INT_PTR i = 0; i < count; ++i, n = n->prev) AddHead(n->data);
  }
  void AddTail(const CList* other) {
    if (!other) AfxThrowInvalidArgException();
    const INT_PTR count = other->count_;  // adding a list to itself copies it once
    Node* n = other->head_;
    for (INT_PTR i = 0; i < count; ++i, n = n->next) AddTail(n->data);
  }
  void RemoveAll() {
    while (head_) Unlink(head_);
  }

  POSITION GetHeadPosition() const { return ToPos(head_); }
  POSITION GetTailPosition() const { return ToPos(tail_); }
  TYPE& GetNext(POSITION& pos) {
    Node* n = FromPos(pos);
    pos = ToPos(n->next);
    return n->data;
  }
  const TYPE& GetNext(POSITION& pos) const {
    Node* n = FromPos(pos);
    pos = ToPos(n->next);
    return n->data;
  }
  TYPE& GetPrev(POSITION& pos) {
    Node* n = FromPos(pos);
    pos = ToPos(n->prev);
    return n->data;
  }
  const TYPE& GetPrev(POSITION& pos) const {
    Node* n = FromPos(pos);
    pos = ToPos(n->prev);
    return n->data;
  }
  TYPE& GetAt(POSITION pos) { return FromPos(pos)->data; }
  const TYPE& GetAt(POSITION pos) const { return FromPos(pos)->data; }
  void SetAt(POSITION pos, ARG_TYPE v) { FromPos(pos)->data = v; }
  void RemoveAt(POSITION pos) { Unlink(FromPos(pos)); }
  POSITION InsertBefore(POSITION pos, ARG_TYPE v) { return pos ? ToPos(LinkBefore(FromPos(pos), v)) : AddHead(v); }
  POSITION InsertAfter(POSITION pos, ARG_TYPE v) { return pos ? ToPos(LinkAfter(FromPos(pos), v)) : AddTail(v); }

  // The first element equal to the value after `startAfter` (from the head when null); null when none.
  POSITION Find(ARG_TYPE value, POSITION startAfter = nullptr) const {
    Node* n = startAfter ? FromPos(startAfter)->next : head_;
    for (; n; n = n->next)
      if (n->data == value) return ToPos(n);
    return nullptr;
  }
  // The element at a zero-based index; null when out of range.
  POSITION FindIndex(INT_PTR index) const {
    if (index < 0 || index >= count_) return nullptr;
    Node* n = head_;
    while (index-- > 0) n = n->next;
    return ToPos(n);
  }

  void Serialize(CArchive& ar) override {
    CObject::Serialize(ar);
    if (ar.IsStoring()) {
      ar.WriteCount(static_cast<DWORD_PTR>(count_));
      for (Node* n = head_; n; n = n->next) SerializeElements<TYPE>(ar, &n->data, 1);
    } else {
      DWORD_PTR count = ar.ReadCount();
      ar.EnsureAvailable(count);
      while (count-- > 0) {
        TYPE v{};
        SerializeElements<TYPE>(ar, &v, 1);
        AddTail(v);
      }
    }
  }

 private:
  static POSITION ToPos(Node* n) { return reinterpret_cast<POSITION>(n); }
  Node* FromPos(POSITION pos) const {
    Node* n = reinterpret_cast<Node*>(pos);
    if (!n || n->owner != this) AfxThrowInvalidArgException();
    return n;
  }
  static Node* NonEmpty(Node* n) {
    if (!n) AfxThrowInvalidArgException();
    return n;
  }
  Node* LinkBefore(Node* at, ARG_TYPE v) {
    Node* n = new Node{at, at ? at->prev : tail_, this, TYPE(v)};
    if (!at) {
      // Empty list (AddHead on an empty list arrives here with at == head_ == null).
      n->prev = nullptr;
      head_ = tail_ = n;
    } else {
      if (at->prev) {
        at->prev->next = n;
      } else {
        head_ = n;
      }
      at->prev = n;
    }
    ++count_;
    return n;
  }
  Node* LinkAfter(Node* at, ARG_TYPE v) {
    if (!at) return LinkBefore(head_, v);
    Node* n = new Node{at->next, at, this, TYPE(v)};
    if (at->next) {
      at->next->prev = n;
    } else {
      tail_ = n;
    }
    at->next = n;
    ++count_;
    return n;
  }
  void Unlink(Node* n) {
    if (n->prev) {
      n->prev->next = n->next;
    } else {
      head_ = n->next;
    }
    if (n->next) {
      n->next->prev = n->prev;
    } else {
      tail_ = n->prev;
    }
    --count_;
    delete n;
  }

  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  INT_PTR count_ = 0;
};
