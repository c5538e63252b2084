#include "startup/TableSet.h"
