// A photograph of the user's as the background, in place of the built-in
// ones: the folder it comes from is set once at start-up, before the scene's
// set-up; an empty folder name (the default) keeps the built-in backgrounds.
#pragma once

#include <string>
#include <vector>

// RainScene::backgroundId() while a photograph is shown (bitmap ids start at 1).
constexpr int kPhotoBackgroundId = 0;

void setPhotosDirectory(const std::string& folder);
const std::string& photosDirectory();

// One photograph from photosDirectory(), side x side 8-bit RGB rows top to
// bottom; empty when no folder is set or none of its files could be used
// (the platform has said why on stderr).
std::vector<unsigned char> loadBackgroundPhoto(int side);
