// Replace: the layer image laid over the picture, transparent where the image is.
#version 120

uniform sampler2D tex0;
uniform sampler2D tex1;

void main()
{
    vec4 picture = texture2D(tex0, gl_TexCoord[0].st);
    vec4 layer = texture2D(tex1, gl_TexCoord[1].st);
    vec3 colour = mix(picture.rgb, layer.rgb, layer.a);
    float alpha = layer.a + picture.a * (1.0 - layer.a);
    gl_FragColor = vec4(colour, alpha);
}
