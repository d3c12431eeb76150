#pragma once
// The drawing model: entities, entity lists, layers, drawings and selection lists.

#include "DXF_blocks.h"
#include "DXF_entity.h"
#include "DXF_model.h"
#include "DXF_points.h"
#include "DXF_polylines.h"
