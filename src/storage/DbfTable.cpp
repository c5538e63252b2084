#include "storage/DbfTable.h"
