// Object channels: the parts of an object's data that a copy, a change message or a pipeline
// step names (topology, geometry, texture maps, materials, selections, ...).
#pragma once

#include "maxtypes.h"

using ChannelMask = DWORD;

constexpr ChannelMask TOPO_CHANNEL = 1u << 0;    // faces and their flags
constexpr ChannelMask GEOM_CHANNEL = 1u << 1;    // vertex positions
constexpr ChannelMask TEXMAP_CHANNEL = 1u << 2;  // map channels 1 and up
constexpr ChannelMask MTL_CHANNEL = 1u << 3;     // material IDs
constexpr ChannelMask SELECT_CHANNEL = 1u << 4;  // sub-object selections
constexpr ChannelMask SUBSEL_TYPE_CHANNEL = 1u << 5;
constexpr ChannelMask DISP_ATTRIB_CHANNEL = 1u << 6;
constexpr ChannelMask VERTCOLOR_CHANNEL = 1u << 7;  // map channel 0 and the hidden maps
constexpr ChannelMask GFX_DATA_CHANNEL = 1u << 8;
constexpr ChannelMask DISP_APPROX_CHANNEL = 1u << 9;
constexpr ChannelMask TM_CHANNEL = 1u << 10;
constexpr ChannelMask EDGEVISIBILITY_CHANNEL = 1u << 11;
constexpr ChannelMask DONT_RECREATE_TRISTRIP_CHANNEL = 1u << 12;
constexpr ChannelMask EXTENSION_CHANNEL = 1u << 13;
constexpr ChannelMask GLOBMTL_CHANNEL = 1u << 31;

constexpr ChannelMask OBJ_CHANNELS = TOPO_CHANNEL | GEOM_CHANNEL | SELECT_CHANNEL | TEXMAP_CHANNEL |
                                     MTL_CHANNEL | SUBSEL_TYPE_CHANNEL | DISP_ATTRIB_CHANNEL |
                                     VERTCOLOR_CHANNEL | GFX_DATA_CHANNEL | DISP_APPROX_CHANNEL |
                                     EXTENSION_CHANNEL;
constexpr ChannelMask ALL_CHANNELS = OBJ_CHANNELS | TM_CHANNEL | GLOBMTL_CHANNEL;
