#include "platform/base/CException.h"

#include <gtest/gtest.h>

#include "platform/base/CArchiveException.h"
#include "platform/base/CFileException.h"

TEST(Exceptions, ThrownAsPointersAndCaughtByBase) {
  try {
    AfxThrowArchiveException(CArchiveException::badSchema, "layout.bin");
  } catch (CException* e) {
    ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CArchiveException)));
    auto* ae = static_cast<CArchiveException*>(e);
    EXPECT_EQ(ae->m_cause, 7);
    char text[128];
    EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
    EXPECT_STREQ(text, "layout.bin holds data of an unsupported version.");
    EXPECT_TRUE(e->GetErrorMessage(text, 8));
    EXPECT_STREQ(text, "layout.");  // cut to the buffer
    e->Delete();
  }
}

TEST(Exceptions, FileCausesFromErrno) {
  EXPECT_EQ(CFileException::ErrnoToException(ENOENT), CFileException::fileNotFound);
  EXPECT_EQ(CFileException::ErrnoToException(EACCES), CFileException::accessDenied);
  EXPECT_EQ(CFileException::ErrnoToException(ENOSPC), CFileException::diskFull);
  try {
    CFileException::ThrowErrno(ENOENT, "/no/such");
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e->m_lOsError, ENOENT);
    EXPECT_EQ(e->m_strFileName, "/no/such");
    e->Delete();
  }
}

TEST(Exceptions, MemoryExceptionIsSharedAndNeverFreed) {
  CException* first = nullptr;
  for (int i = 0; i < 2; ++i) {
    try {
      AfxThrowMemoryException();
    } catch (CException* e) {
      if (!first) first = e;
      EXPECT_EQ(e, first);
      e->Delete();  // must not free the static object
    }
  }
}

TEST(Exceptions, MacrosDeleteAndRethrow) {
  int caught = 0;
  TRY {
    AfxThrowUserException();
  }
  CATCH(CFileException, e) {
    (void)e;
    ADD_FAILURE();
  }
  AND_CATCH(CUserException, e) {
    (void)e;
    ++caught;
  }
  END_CATCH
  EXPECT_EQ(caught, 1);

  // THROW_LAST passes the same object on; the outer handler owns it then.
  CException* inner = nullptr;
  try {
    TRY {
      AfxThrowNotSupportedException();
    }
    CATCH_ALL(e) {
      inner = e;
      THROW_LAST();
    }
    END_CATCH_ALL
  } catch (CException* e) {
    EXPECT_EQ(e, inner);
    EXPECT_TRUE(e->IsKindOf(RUNTIME_CLASS(CNotSupportedException)));
    e->Delete();
  }
}
