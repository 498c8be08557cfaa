// A scripted clock for the scene's time source: each read returns the next
// queued value; once the queue is empty, reads repeat the last value.
#pragma once

#include <deque>

#include "scene/scene_time.h"

struct ScriptedTime {
    static std::deque<double>& queue() {
        static std::deque<double> q;
        return q;
    }
    static double& last() {
        static double v = 0.0;
        return v;
    }
    static int& reads() {
        static int n = 0;
        return n;
    }
    static double read() {
        reads()++;
        if (!queue().empty()) {
            last() = queue().front();
            queue().pop_front();
        }
        return last();
    }
    static void install() {
        queue().clear();
        last() = 0.0;
        reads() = 0;
        setSceneTimeSource(read);
    }
    static void uninstall() { setSceneTimeSource(nullptr); }
    static void push(double v) { queue().push_back(v); }
    // One render measured as `ms` milliseconds: begin reads 0, end reads ms.
    static void pushFrame(double seconds) {
        push(0.0);
        push(seconds);
    }
};
