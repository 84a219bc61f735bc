#include "TestFailure.h"

#include <QTest>

void testFailure(const std::string& what)
{
    QTest::qFail(what.c_str(), __FILE__, __LINE__);
}
