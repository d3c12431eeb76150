// Everything a client of libvela50 needs.
#pragma once

#include "vela/base.h"
#include "vela/concurrency.h"
#include "vela/image.h"
#include "vela/image_drawer.h"
#include "vela/incits378.h"
#include "vela/iso.h"
#include "vela/iso_math.h"
#include "vela/math.h"
#include "vela/render.h"
#include "vela/scan.h"
#include "vela/streams.h"
