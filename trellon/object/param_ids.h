// Identifiers of the object's parameter block: the block, its parameter maps and every
// parameter.
//
// Each enumerator is spelled as the parameter's internal name, with an underscore where the
// name has a space ("Spline Steps" -> Spline_Steps). The block holds two parameters named
// "Unify_Scale": 123, the staging checkbox of the object rollout, keeps the name Unify_Scale;
// 130, the staging checkbox of the sweep rollout for Sweep_Unify_Scale, is
// Sweep_Unify_Scale_Staging. The IDs are stored in scene files and must never change.
#pragma once

namespace trellon {

// The object's only parameter block (reference 0, internal name "Title").
enum TrellonBlockID { trellon_params = 0 };

// Parameter maps, one per rollout. Maps 6 and 7 carry a few controls but no rollout.
enum TrellonMapID {
    map_title = 0,
    map_spline = 2,
    map_objects = 3,
    map_sweeps = 4,
    map_colour = 5,
    map_unused_6 = 6,
    map_camera = 7,
    map_export = 8,
    map_about = 10,
};

enum TrellonParamID {
    // Path and global layout.
    Spline_Obj = 0,
    Path_Length = 1,
    Reserved_Int_3 = 3,
    Geo_Pattern = 10,
    Geo_Array = 11,
    Geo_Spacing = 12,
    Geo_Follow = 13,
    Geo_Follow_Ori = 14,
    Geo_UserSpacing = 15,
    Display_Mode = 47,
    PointCloud = 48,
    Reserved_Bool_49 = 49,
    Logo_size = 68,
    Spline_Steps = 125,
    KnotSpacing = 147,
    KnotThresh = 148,
    StraightPost = 149,
    DetachPath = 162,
    Knot_Start_Offset = 163,
    Knot_End_Offset = 164,
    Show_Logo = 165,
    ForceDisplay = 168,
    Object_Solo = 170,
    Sweep_Solo = 171,

    // Item lists: three node tables forming one item list, objects then posts then ends.
    Object_Nodes = 2,
    Post_Nodes = 146,
    End_Nodes = 150,

    // Zero-based per-item tables: entry k belongs to item k.
    Item_Names = 166,
    Item_Kind = 101,
    Item_Box_Max = 4,
    Item_Box_Min = 5,
    Item_Cloud_Count = 6,
    Item_Face_Count = 7,
    Cloud_Points = 8,
    Item_Check_1013 = 151,
    Item_Repeat_Count = 152,
    Item_Repeat_Gap = 153,
    Item_Spin_1111 = 154,
    Item_Check_1121 = 158,
    Item_Spin_1032 = 159,
    Item_Check_1014 = 161,
    End_Check_1119 = 160,

    // The sequence: rows of (item index or -1, group number).
    Sequence_Items = 9,
    Sequence_Groups = 100,

    // Shared-entry per-item tables: entry 0 is "All Objects", entry k + 1 belongs to item k.
    Item_Random_Trans = 21,
    Item_Z_Pos = 22,
    Item_Z_Pos_Random = 23,
    Item_Pos_InOut = 24,
    Item_Pos_InOut_Random = 25,
    Item_Extra_Rot = 26,
    Item_Extra_Rot_Random = 27,
    Item_X_Scale = 28,
    Item_X_Scale_Random = 29,
    Item_Mirror_Box = 30,
    Item_Mirror = 31,
    Item_Mirror2 = 32,
    Item_Spacing = 102,
    Item_Spacing_Random = 103,
    Item_Start_Offset = 104,
    Item_End_Offset = 105,
    Item_X_Rot = 112,
    Item_X_Rot_Random = 113,
    Item_Y_Rot = 114,
    Item_Y_Rot_Random = 115,
    Item_Z_Rot = 116,
    Item_Z_Rot_Random = 117,
    Item_Unify_Scale = 118,
    Item_Y_Scale = 119,
    Item_Y_Scale_Random = 120,
    Item_Z_Scale = 121,
    Item_Z_Scale_Random = 122,
    Item_Check_1118 = 157,

    // Random pools: 100 values per entry of the shared-entry table they serve.
    Pool_Z_Pos = 16,
    Pool_Pos_InOut = 17,
    Pool_Extra_Rot = 18,
    Pool_X_Scale = 19,
    Pool_Mirror = 20,
    Pool_Spacing = 106,
    Pool_X_Rot = 107,
    Pool_Y_Rot = 108,
    Pool_Z_Rot = 109,
    Pool_Y_Scale = 110,
    Pool_Z_Scale = 111,

    // Staging checkboxes of the object rollout, copied to and from the selected entry.
    Random_Trans = 33,
    Unify_Scale = 123,
    Mirror_Box = 44,

    // Saved but never read or written.
    Z_Pos = 34,
    Z_Pos_Random = 35,
    Pos_InOut = 36,
    Pos_InOut_Random = 37,
    Z_Rot = 38,
    Z_Rot_Random = 39,
    X_Scale = 42,
    X_Scale_Random = 43,
    Mirror = 45,
    Mirror2 = 46,

    // Swept shapes: zero-based tables and shared-entry tables (entry 0 is "All Sweeps").
    Sweep_Nodes = 124,
    Shape_Steps = 126,
    Shape_Flip_Normals = 127,
    Shape_Flip_Object = 128,
    Sweep_Smooth_Angle = 129,
    Sweep_Unify_Scale_Staging = 130,  // internal name "Unify_Scale"
    Sweep_Side_Offset = 131,
    Sweep_Height_Offset = 132,
    Sweep_X_Rot = 133,
    Sweep_Y_Rot = 134,
    Sweep_Z_Rot = 135,
    Sweep_Unify_Scale = 136,
    Sweep_X_Scale = 137,
    Sweep_Y_Scale = 138,
    Sweep_Z_Scale = 139,
    Sweep_Reserved_140 = 140,
    Sweep_Reserved_141 = 141,
    Sweep_Reserved_142 = 142,
    Sweep_Reserved_143 = 143,
    Sweep_Start_Trim = 144,
    Sweep_End_Trim = 145,
    Sweep_Double = 155,
    Sweep_Double_Offset = 156,
    Sweep_Names = 167,
    Shape_AngleUVW = 169,

    // Colour and texture variation.
    Picked_Nodes_50 = 50,
    Color_Shift = 51,
    Color_Variation = 52,
    Hue_Shift = 53,
    Saturation = 54,
    Brightness = 55,
    Contrast = 56,
    HueRand = 57,
    SatRand = 58,
    BriRand = 59,
    ConRand = 60,
    Advance_Shift = 61,
    Texture_Names = 62,
    Texture_Name_Mode = 63,

    // Camera: stored only.
    Cam_Radio = 64,
    CamNode = 65,
    CamClip = 66,
    FOV = 67,
};

}  // namespace trellon
