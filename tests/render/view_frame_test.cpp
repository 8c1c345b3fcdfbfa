#include "render/view_support.hpp"
