// The workers and the hand-over of their images. One lock guards the job list; decoding
// and filtering run outside it.
#include "render/image_preparation.h"

#include <SDL_image.h>

#include <malloc.h>

#include <algorithm>
#include <memory>
#include <utility>

ImagePreparation imagePreparation;

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

ImagePreparation::Job* findJob(const std::string& name) {
    for (ImagePreparation::Job& job : imagePreparation.jobs) {
        if (job.name == name) return &job;
    }
    return nullptr;
}

void workOnImages() {
    ImagePreparation& p = imagePreparation;
    std::unique_lock<std::mutex> held(p.lock);
    for (;;) {
        ImagePreparation::Job* next = nullptr;
        p.changed.wait(held, [&] {
            if (p.stopping) return true;
            // Prepared and not yet taken: the workers rest at kMaxReadyImages of them.
            const auto ready = std::count_if(p.jobs.begin(), p.jobs.end(), [](const ImagePreparation::Job& job) {
                return job.stage == ImagePreparation::Stage::Ready;
            });
            if (static_cast<std::size_t>(ready) >= kMaxReadyImages) return false;
            const auto waiting = std::find_if(p.jobs.begin(), p.jobs.end(), [](const ImagePreparation::Job& job) {
                return job.stage == ImagePreparation::Stage::Waiting;
            });
            next = waiting == p.jobs.end() ? nullptr : &*waiting;
            return next != nullptr;
        });
        if (p.stopping) return;
        next->stage = ImagePreparation::Stage::Working;
        const std::string name = next->name;
        const std::string path = next->path;
        const int maxSide = p.maxTextureSide;
        held.unlock();
        PreparedImage result = prepareImage(path, maxSide);
        held.lock();
        // The job list may have grown meanwhile; find the job again by its name.
        ImagePreparation::Job* job = findJob(name);
        job->result = std::move(result);
        job->stage = ImagePreparation::Stage::Ready;
        p.changed.notify_all();
    }
}

}  // namespace

PreparedImage prepareImage(const std::string& path, int maxTextureSide) {
    PreparedImage prepared;
    const std::unique_ptr<SDL_Surface, SurfaceFree> surface(IMG_Load(path.c_str()));
    if (!surface) {
        prepared.error = IMG_GetError();
        return prepared;
    }
    if (surfaceIsPacked(surface.get())) {
        // Filtered straight from the decoder's pixels, without a copy of several megabytes.
        const SDL_Surface& s = *surface;
        const int components = s.format->format == SDL_PIXELFORMAT_RGBA32 ? 4 : 3;
        const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(s.pixels),
                                                  static_cast<std::size_t>(s.pitch) * static_cast<std::size_t>(s.h));
        prepared.chain = buildMipChain(PixelView{s.w, s.h, components, bytes}, maxTextureSide);
    } else {
        const std::optional<ImagePixels> image = convertSurfacePixels(surface.get());
        if (!image) {
            prepared.error = "unsupported pixel layout or size";
            return prepared;
        }
        prepared.chain = buildMipChain(*image, maxTextureSide);
    }
    if (prepared.chain.levels.empty()) prepared.error = "unsupported pixel layout or size";
    return prepared;
}

ImagePreparation::~ImagePreparation() {
    {
        const std::lock_guard<std::mutex> held(lock);
        stopping = true;
    }
    changed.notify_all();
    workers.clear();
}

void startPreparingImages(int maxTextureSide) {
    ImagePreparation& p = imagePreparation;
    if (!p.workers.empty()) return;
    // The decoders' set-up is not safe to race; do it once here.
    IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG);
    // Each picture passes through buffers of several megabytes. Kept in the heap once
    // freed, rather than handed back to the system and faulted in afresh for the next
    // picture, they halve the page faults of loading; stopPreparingImages hands them back.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 512 << 20);
    {
        const std::lock_guard<std::mutex> held(p.lock);
        p.maxTextureSide = maxTextureSide;
        p.stopping = false;
    }
    const unsigned int cores = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned int i = 0; i < cores; ++i) p.workers.emplace_back(workOnImages);
}

void prepareImagesAhead(const std::vector<std::string>& names, const std::vector<std::string>& paths) {
    ImagePreparation& p = imagePreparation;
    {
        const std::lock_guard<std::mutex> held(p.lock);
        for (std::size_t i = 0; i < names.size() && i < paths.size(); ++i) {
            if (findJob(names[i]) == nullptr) p.jobs.push_back({names[i], paths[i], ImagePreparation::Stage::Waiting, {}});
        }
    }
    p.changed.notify_all();
}

PreparedImage takePreparedImage(const std::string& name, const std::string& path, int maxTextureSide) {
    ImagePreparation& p = imagePreparation;
    {
        std::unique_lock<std::mutex> held(p.lock);
        ImagePreparation::Job* job = findJob(name);
        if (job != nullptr && job->stage == ImagePreparation::Stage::Waiting) {
            job->stage = ImagePreparation::Stage::Taken;
        } else if (job != nullptr && job->stage != ImagePreparation::Stage::Taken &&
                   job->path == path && p.maxTextureSide == maxTextureSide) {
            p.changed.wait(held, [&] { return findJob(name)->stage == ImagePreparation::Stage::Ready; });
            job = findJob(name);
            job->stage = ImagePreparation::Stage::Taken;
            PreparedImage result = std::move(job->result);
            job->result = {};
            held.unlock();
            p.changed.notify_all();
            return result;
        }
    }
    return prepareImage(path, maxTextureSide);
}

void stopPreparingImages() {
    ImagePreparation& p = imagePreparation;
    {
        const std::lock_guard<std::mutex> held(p.lock);
        p.stopping = true;
    }
    p.changed.notify_all();
    p.workers.clear();  // joins
    const std::lock_guard<std::mutex> held(p.lock);
    p.jobs.clear();
    p.stopping = false;
    // The C library's own limits again (128 KiB each), and the loading's buffers back.
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
    mallopt(M_TRIM_THRESHOLD, 128 << 10);
    malloc_trim(0);
}
