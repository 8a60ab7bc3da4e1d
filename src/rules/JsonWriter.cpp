#include "rules/JsonWriter.h"
