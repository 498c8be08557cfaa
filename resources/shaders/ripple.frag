#version 420 compatibility
//~
