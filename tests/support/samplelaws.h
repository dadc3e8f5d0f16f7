#pragma once
// The seven sample laws, imported once per build (tests/samplelaws in the build tree), and a
// fixture that gives each test its own copy of them.
#include "tests/support/testsupport.h"

namespace testsupport {

// The data root with the law list, the tables of contents and the seven laws imported from
// data/sample through lexctl.
QString sampleLawsRoot();

// A fresh root per test holding a copy of the seven imported laws; store::folders() points
// to it and its program folder has ht.dat and idx.dat.
class SampleLawsTest : public TempRootTest {
  protected:
    void SetUp() override;
};

}  // namespace testsupport
