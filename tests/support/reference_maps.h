// SPDX-FileCopyrightText: 2026 The Drenchwick developers
// SPDX-License-Identifier: MIT

// Every picture of the game written out in full, row by row, as the drawings give them.
// The game builds some of them by recolouring others; these copies do not, so a slip in
// either shows up as a difference.
#pragma once

namespace reference {

inline const char* const kBalloon[] = {
    "................", "......U...U.....", ".......UTU......", ".......UTU......",
    ".......UTU......", ".....UUTTTUU....", "....UTTTTTTTU...", "....UTTTTTTTU...",
    "...UTTTTTTTTTU..", "...UTTTTTTTTTU..", "...UTTTTTTTTTU..", "....UTTTTTTTU...",
    "....UTTTTTTTU...", ".....UUTTTUU....", ".......UUU......", "................",
};

inline const char* const kZorbo[] = {
    "..........KKKKKKKKKKK..............", "..........KKKKKKKKKKKK.............",
    ".........LLKKKKKKKKKKKK............", ".........LLLLLLLLKKKKKKK...........",
    ".........LLUUULLLLLKKKKK...........", ".........LLUUULLLLLLKKKK...........",
    ".........LLLLLLLLYYLKKKK...........", "..........LLLLLLYYYYKKKK...........",
    "..........LLRRRLYYYYKKKK...........", "...........RRLRRLYYLKKK............",
    "............LLLLLLL................", "..............GGG..................",
    "..............GGG..................", "..........GGGGGGGGGGG..............",
    ".........GGGGGGGGGGGGG.............", "........GGGGGGGGGGGGGGG............",
    "........GGGGGGGGGGGGGGG............", "........GGGGGGGGGGGGGGG............",
    ".......GGG.GGGGGGGGG.GGG...........", ".......GGG.GGGGGGGGG.GGG...........",
    ".......GGG.GGGGGGGGG.GGG...........", ".......GGG.GGGGGGGGG.GGG...........",
    ".......GGG.GGGGGGGGG.GGG...........", "...........RRRRRRRRR...............",
    "...........RRRRRRRRR...............", "...........RRRRRRRRR...............",
    "...........RRRRRRRRR...............", "..........RRRR...RRRR..............",
    "..........RRRR...RRRR..............", ".........RRRR.....RRRR.............",
    ".........RRRR.....RRRR.............", ".........RRR.......RRR.............",
    "........RRRR.......RRRR............", "........NNNN.......NNNN............",
    "......NNNNNN.....NNNNNN............", "......NNNNNN.....NNNNNN............",
};

inline const char* const kQuib[] = {
    "..........NNNNNNNNNNN..............", "..........NNNNNNNNNNNN.............",
    ".........LLNNNNNNNNNNNN............", ".........LLLLLLLLNNNNNNN...........",
    ".........LLUUULLLLLNNNNN...........", ".........LLUUULLLLLLNNNN...........",
    ".........LLLLLLLLYYLNNNN...........", "..........LLLRLLYYYYNNNN...........",
    "..........LLLRLLYYYYNNNN...........", "...........RRLLLLYYLNNN............",
    "............LLLLLLL................", "..............UUU..................",
    "..............UUU..................", "..........UUUUUUUUUUU..............",
    ".........UUUUUUUUUUUUU.............", "........UUUUUUUUUUUUUUU............",
    "........UUUUUUUUUUUUUUU............", "........UUUUUUUUUUUUUUU............",
    ".......UUU.UUUUUUUUU.UUU...........", ".......UUU.UUUUUUUUU.UUU...........",
    ".......UUU.UUUUUUUUU.UUU...........", ".......UUU.UUUUUUUUU.UUU...........",
    ".......UUU.UUUUUUUUU.UUU...........", "...........TTTTTTTTT...............",
    "...........TTTTTTTTT...............", "...........TTTTTTTTT...............",
    "...........TTTTTTTTT...............", "..........TTTT...TTTT..............",
    "..........TTTT...TTTT..............", ".........TTTT.....TTTT.............",
    ".........TTTT.....TTTT.............", ".........TTT.......TTT.............",
    "........TTTT.......TTTT............", "........KKKK.......KKKK............",
    "......KKKKKK.....KKKKKK............", "......KKKKKK.....KKKKKK............",
};

inline const char* const kPlayer[] = {
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "...................................",
    "...................................", "..............UUUUPPPPPP...........",
    ".............UUUUUPPPPPPPPPKKKKKK..", "........KK...UU...PPPPPPPPPYYYYYY..",
    "........KKUUUUUUUUPPPPPPP.PYUYYUY..", ".........KUUUUUUUUPPPPPPP..YYYYYY..",
    "........K...UUUUUUPPPPPPPP.YRRRRY..", "........KKUUUUU.........PPP.YYYY...",
    "........KKUUUU...........PPP.......", "HHHHHHHHHHHHHHHHHHHHHHHHHPPP.......",
    "GGGGGGGGGGGGGGGGGGGGGGGGH..........", "GGGGGGGGGGGGGGGGGGGGGGGGH..........",
    "GGGGGGGGGGGGGGGGGGGGGGGGH..........", "GGGGGGGGGGGGGGGGGGGGGGGGH..........",
};

inline const char* const kStored4[] = {
    "..........KKKKKKKKKKK..............", "..........KKKKKKKKKKKK.............",
    ".........SSKKKKKKKKKKKK............", ".........SSSSSSSSKKKKKKK...........",
    ".........SSUUUSSSSSKKKKK...........", ".........SSUUUSSSSSSKKKK...........",
    ".........SSSSSSSSYYSKKKK...........", "..........SSSSSSYYYYKKKK...........",
    "..........SSRRRSYYYYKKKK...........", "...........RRSRRSYYSKKK............",
    "............SSSSSSS................", "..............GGG..................",
    "..............GGG..................", "..........GGGGGGGGGGG..............",
    ".........GGGGGGGGGGGGG.............", "........GGGGGGGGGGGGGGG............",
    "........GGGGGGGGGGGGGGG............", "........GGGGGGGGGGGGGGG............",
    ".......GGG.GGGGGGGGG.GGG...........", ".......GGG.GGGGGGGGG.GGG...........",
    ".......GGG.GGGGGGGGG.GGG...........", ".......GGG.GGGGGGGGG.GGG...........",
    ".......GGG.GGGGGGGGG.GGG...........", "...........RRRRRRRRR...............",
    "...........RRRRRRRRR...............", "...........RRRRRRRRR...............",
    "...........RRRRRRRRR...............", "..........RRRR...RRRR..............",
    "..........RRRR...RRRR..............", ".........RRRR.....RRRR.............",
    ".........RRRR.....RRRR.............", ".........RRR.......RRR.............",
    "........RRRR.......RRRR............", "........MMMM.......MMMM............",
    "......MMMMMM.....MMMMMM............", "......MMMMMM.....MMMMMM............",
};

inline const char* const kStored5[] = {
    "...............KKKKKKKKKKK.........", "...............KKKKKKKKKKKK........",
    "..............SSKKKKKKKKKKKK.......", "..............SSSSSSSSKKKKKKK......",
    "..............SSUUUSSSSSKKKKK......", "..............SSUUUSSSSSSKKKK......",
    "..............SSSSSSSSYYSKKKK......", "...............SSSSSSYYYYKKKK......",
    "...............SSRRRSYYYYKKKK......", "................RRSRRSYYSKKK.......",
    ".................SSSSSSS...........", "...................GGG.............",
    "...................GGG.............", "................GGGGGGGGGG.........",
    "................GGGGGGGGGGG........", "................GGGGGGGGGGGG.......",
    "................GGGGGGGGGGGG.......", "................GGGGGGGGGGGG.......",
    "................GGGGGGGGG.GGG......", "..MM............GGGGGGGGG.GGG......",
    "..MM............GGGGGGGGG.GGG......", "..MMMRRRR.......GGGGGGGGG.GGG......",
    "..MMMRRRRRRR....GGGGGGGGG.GGG......", "..MMMRRRRRRRRRRRRRRRRRRRR..........",
    ".......RRRRRRRRRRRRRRRRRR..........", "...........RRRRRRRRRRRRRR..........",
    "..............RRRRRRRRRRR..........", "......................RRR..........",
    "......................RRR..........", "......................RRR..........",
    "......................RRR..........", "......................RRR..........",
    "......................RRR..........", "......................MMM..........",
    "....................MMMMM..........", "....................MMMMM..........",
};

inline const char* const kStored6[] = {
    "...............KKKKKKKKKKK.........", "...............KKKKKKKKKKKK........",
    "..............SSKKKKKKKKKKKK.......", "..............SSSSSSSSKKKKKKK......",
    "..............SSUUUSSSSSKKKKK......", "..............SSUUUSSSSSSKKKK......",
    "..............SSSSSSSSYYSKKKK......", "...............SSSSSSYYYYKKKK......",
    "...............SSRRRSYYYYKKKK......", "................RRSRRSYYSKKK.......",
    ".................SSSSSSS...........", "...................GGG.............",
    "...................GGG.............", "................GGGGGGGGGG.........",
    "................GGGGGGGGGGG........", "................GGGGGGGGGGGG.......",
    "................GGGGGGGGGGGG.......", "................GGGGGGGGGGGG.......",
    "...........RRR..GGGGGGGGG.GGG......", "..........RRRRR.GGGGGGGGG.GGG......",
    ".........RRRRRR.GGGGGGGGG.GGG......", ".........RRRRRRRGGGGGGGGG.GGG......",
    ".........RRR.RRRGGGGGGGGG.GGG......", "........RRRR.RRRRRRRRRRRR..........",
    "........MMMM..RRRRRRRRRRR..........", "......MMMMMM...RRRRRRRRRR..........",
    "......MMMMMM....RRRRRRRRR..........", "......................RRR..........",
    "......................RRR..........", "......................RRR..........",
    "......................RRR..........", "......................RRR..........",
    "......................RRR..........", "......................MMM..........",
    "....................MMMMM..........", "....................MMMMM..........",
};

}  // namespace reference
